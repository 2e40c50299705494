#include "app/PathHelpers.h"

#include "platform/FileSystem.h"
#include "platform/MsgBox.h"
#include "platform/RuntimeError.h"

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
        return RuntimeError(err::Overflow);
    return position;
}

Status makeEveryFolder(const QString& path)
{
    Result<qsizetype> pos = nextSeparator(path, 0);
    if (!pos)
        return pos.error();
    if (*pos == 0)
        return MkDir(path);
    while (*pos != 0) {
        const QString prefix = path.left(*pos);
        if (Dir(prefix, attr::vbDirectory).isEmpty()) {
            if (Status made = MkDir(prefix); !made)
                return made;
        }
        pos = nextSeparator(path, *pos);
        if (!pos)
            return pos.error();
    }
    if (!path.endsWith(separator()))
        return MkDir(path);
    return {};
}

}  // namespace

QString AddBackslash(const QString& path)
{
    return path.endsWith(separator()) ? path : path + separator();
}

bool FileExists(const QString& path, int16_t attributes)
{
    return !Dir(path, attributes).isEmpty();
}

bool DirExists(const QString& path)
{
    return FileExists(path, attr::vbDirectory);
}

bool MakePath(const QString& path)
{
    if (Status made = makeEveryFolder(path); !made) {
        MsgBox(made.error().description, msgbox::vbOKOnly);
        return false;
    }
    return true;
}

Result<QString> GetPathPart(const QString& fullName)
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
