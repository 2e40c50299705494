#include "shell/NameOnlyIconProvider.h"

#include <QFileInfo>
#include <QMimeDatabase>

namespace varnex {
namespace {

// Folders and the root are told apart by the file system's metadata, which reads no content.
bool isFolder(const QFileInfo& info)
{
    return info.isRoot() || info.isDir();
}

QMimeType typeByName(const QFileInfo& info)
{
    return QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
}

}  // namespace

QIcon NameOnlyIconProvider::icon(const QFileInfo& info) const
{
    if (isFolder(info))
        return QFileIconProvider::icon(info);
    return QIcon::fromTheme(typeByName(info).iconName(), icon(File));
}

QString NameOnlyIconProvider::type(const QFileInfo& info) const
{
    if (isFolder(info))
        return QFileIconProvider::type(info);
    const QMimeType mime = typeByName(info);
    return mime.comment().isEmpty() ? mime.name() : mime.comment();
}

}  // namespace varnex
