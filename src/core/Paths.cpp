#include "core/Paths.h"

#include "core/Error.h"
#include "core/FileSystem.h"
#include "core/Messages.h"

namespace varnex {
namespace {

constexpr qsizetype kMaxPosition = 32767;  // positions are 16-bit

QChar separator() { return QLatin1Char('/'); }

// The 1-based position of the next "/" after position from, 0 when there is none; error 6 when
// a "/" stands where a 16-bit position (or the next search start) no longer reaches.
Result<qsizetype> nextSeparator(const QString& text, qsizetype from)
{
    const qsizetype index = text.indexOf(separator(), from);
    if (index < 0)
        return qsizetype{0};
    const qsizetype position = index + 1;
    if (position >= kMaxPosition)
        return makeError(ErrorCode::Overflow);
    return position;
}

Status makeEveryFolder(const QString& path)
{
    Result<qsizetype> pos = nextSeparator(path, 0);
    if (!pos)
        return pos.error();
    if (*pos == 0)
        return makeDir(path);
    while (*pos != 0) {
        const QString prefix = path.left(*pos);
        if (firstMatch(prefix, attr::Folders).isEmpty()) {
            if (Status made = makeDir(prefix); !made)
                return made;
        }
        pos = nextSeparator(path, *pos);
        if (!pos)
            return pos.error();
    }
    if (!path.endsWith(separator()))
        return makeDir(path);
    return {};
}

}  // namespace

QString withTrailingSlash(const QString& path)
{
    return path.endsWith(separator()) ? path : path + separator();
}

bool fileExists(const QString& path, int16_t attributes)
{
    return !firstMatch(path, attributes).isEmpty();
}

bool dirExists(const QString& path)
{
    return fileExists(path, attr::Folders);
}

bool makePath(const QString& path)
{
    if (Status made = makeEveryFolder(path); !made) {
        showMessage(made.error().description, MessageStyle::Plain);
        return false;
    }
    return true;
}

Result<QString> folderPart(const QString& fullName)
{
    qsizetype last = 0;
    for (Result<qsizetype> pos = nextSeparator(fullName, 0);; pos = nextSeparator(fullName, last)) {
        if (!pos)
            return pos.error();
        if (*pos == 0)
            break;
        last = *pos;
    }
    return fullName.left(last);
}

}  // namespace varnex
