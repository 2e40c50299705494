#include "StandardOutput.h"

#include "DescriptorSink.h"
#include "Diagnostics.h"

#include <unistd.h>

namespace varnex::cli {

Ending writeStandardOutput(const QString& text, const QString& database)
{
    DescriptorSink sink(STDOUT_FILENO, QStringLiteral("standard output"));
    const QByteArray bytes = text.toUtf8();
    const Status written = sink.write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (written)
        return Ending::Completed;
    if (sink.pipeClosed())
        return Ending::PipeClosed;
    reportFailure(database, written.error().description);
    return Ending::Failed;
}

}  // namespace varnex::cli
