#include "core/Paths.h"

#include "core/Error.h"
#include "core/FileSystem.h"

namespace varnex {
namespace {

QChar separator() { return QLatin1Char('/'); }

}  // namespace

QString withTrailingSlash(const QString& path)
{
    return path.endsWith(separator()) ? path : path + separator();
}

bool dirExists(const QString& path)
{
    return fileExists(path, EntryKind::Folders);
}

Status makePath(const QString& path)
{
    for (qsizetype slash = path.indexOf(separator()); slash >= 0; slash = path.indexOf(separator(), slash + 1)) {
        const QString prefix = path.left(slash + 1);
        if (!dirExists(prefix)) {
            if (Status made = makeDir(prefix); !made)
                return made;
        }
    }
    if (!path.endsWith(separator()))
        return makeDir(path);
    return {};
}

QString folderPart(const QString& fullName)
{
    return fullName.left(fullName.lastIndexOf(separator()) + 1);
}

}  // namespace varnex
