#include "export/CsvFileSink.h"

#include <QFileInfo>

namespace varnex {

CsvFileSink::CsvFileSink(const QString& finalName) : finalName_(finalName), file_(finalName) {}

CsvFileSink::~CsvFileSink()
{
    if (file_.isOpen())
        file_.cancelWriting();
}

Status CsvFileSink::open()
{
    // Writing in place would expose a partial file; better to fail.
    file_.setDirectWriteFallback(false);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(QStringLiteral("create"));
    return {};
}

Status CsvFileSink::write(std::string_view bytes)
{
    const char* data = bytes.data();
    auto left = static_cast<qint64>(bytes.size());
    while (left > 0) {
        const qint64 written = file_.write(data, left);
        if (written <= 0)
            return failure(QStringLiteral("write"));
        data += written;
        left -= written;
    }
    return {};
}

Status CsvFileSink::commit()
{
    if (!file_.commit())
        return failure(QStringLiteral("write"));
    return {};
}

Error CsvFileSink::failure(const QString& action) const
{
    const QString description =
        QStringLiteral("Could not %1 '%2': %3").arg(action, finalName_, file_.errorString());
    const QFileInfo folder(QFileInfo(finalName_).absolutePath());
    if (!folder.isDir())
        return Error{ErrorCode::PathNotFound, description};
    if (!folder.isWritable())
        return Error{ErrorCode::PermissionDenied, description};
    return Error{ErrorCode::PathFileAccess, description};
}

}  // namespace varnex
