#include "StandardOutput.h"

#include "DescriptorSink.h"
#include "Diagnostics.h"
#include "core/ByteText.h"

#include <unistd.h>

namespace varnex::cli {

Ending writeStandardOutput(const QString& text)
{
    DescriptorSink sink(STDOUT_FILENO, QStringLiteral("standard output"));
    const QByteArray bytes = textToBytes(text);
    const Status written = sink.write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return written ? Ending::Completed : standardOutputFailed(sink, written.error().description);
}

Ending standardOutputFailed(const DescriptorSink& sink, const QString& description)
{
    if (sink.pipeClosed())
        return Ending::PipeClosed;
    reportFailure(QString(), description);
    return Ending::Failed;
}

}  // namespace varnex::cli
