#include "core/FileSystem.h"

#include "core/ByteText.h"
#include "core/Error.h"
#include "core/LocaleCodec.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnex {
namespace {

bool hasWildcards(QStringView name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// "*" matches any run of characters, "?" exactly one; "*.*" matches every name.
bool wildcardMatch(QStringView pattern, QStringView name)
{
    if (pattern == QLatin1String("*.*"))
        pattern = u"*";
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == QLatin1Char('?') || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

// The C library would see such a name cut short at the NUL, i.e. another file.
bool hasNul(const QString& path) { return path.contains(QChar(u'\0')); }

enum class Kind { Missing, File, Folder, Other };

Kind kindOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return Kind::Missing;
    if (S_ISREG(st.st_mode))
        return Kind::File;
    if (S_ISDIR(st.st_mode))
        return Kind::Folder;
    return Kind::Other;
}

bool passesFilter(const QString& name, Kind kind, EntryKinds kinds)
{
    if (kind == Kind::Missing)
        return false;
    if (name.startsWith(QLatin1Char('.')) && !kinds.testFlag(EntryKind::Hidden))
        return false;
    if (kind == Kind::Folder)
        return kinds.testFlag(EntryKind::Folders);
    if (kind == Kind::Other)
        return kinds.testFlag(EntryKind::System);
    return true;
}

QString firstMatch(const QString& folder, QStringView namePattern, EntryKinds kinds)
{
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                            QDir::Name);
    for (const QString& name : names) {
        if (!namePattern.isEmpty() && !wildcardMatch(namePattern, name))
            continue;
        if (passesFilter(name, kindOf(dir.filePath(name)), kinds))
            return name;
    }
    return {};
}

}  // namespace

QString firstMatch(const QString& pattern, EntryKinds kinds)
{
    if (pattern.isEmpty() || hasNul(pattern))
        return {};
    const qsizetype slash = pattern.lastIndexOf(QLatin1Char('/'));
    const QString folder = pattern.left(slash + 1);
    const QString name = pattern.mid(slash + 1);

    if (name.isEmpty()) {
        if (kindOf(folder) != Kind::Folder)
            return {};
        if (kinds.testFlag(EntryKind::Folders))
            return QStringLiteral(".");
        return firstMatch(folder, {}, kinds);
    }
    if (!hasWildcards(name))
        return passesFilter(name, kindOf(pattern), kinds) ? name : QString();
    if (!folder.isEmpty() && kindOf(folder) != Kind::Folder)
        return {};
    return firstMatch(folder, name, kinds);
}

bool fileExists(const QString& path, EntryKinds kinds)
{
    if (path.isEmpty() || hasNul(path))
        return false;
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (name.isEmpty())
        return kinds.testFlag(EntryKind::Folders) && kindOf(path) == Kind::Folder;
    return passesFilter(name, kindOf(path), kinds);
}

Status makeDir(const QString& path)
{
    if (path.isEmpty() || hasNul(path))
        return makeError(ErrorCode::PathNotFound);
    if (::mkdir(QFile::encodeName(path).constData(), 0777) != 0)
        return errno == EEXIST ? makeError(ErrorCode::PathFileAccess) : fileError(errno);
    return {};
}

Status removeFile(const QString& path)
{
    if (hasNul(path))
        return makeError(ErrorCode::BadFileName);
    const Kind kind = kindOf(path);
    if (kind == Kind::Missing || kind == Kind::Folder)
        return makeError(ErrorCode::FileNotFound);
    if (::unlink(QFile::encodeName(path).constData()) != 0)
        return fileError(errno);
    return {};
}

Status makeFolderPath(const QString& path)
{
    const QByteArray bytes = textToBytes(path);
    int error = bytes.isEmpty() ? ENOENT : 0;
    for (qsizetype at = 1; error == 0 && at <= bytes.size(); ++at) {
        if (at < bytes.size() && bytes[at] != '/')
            continue;
        if (::mkdir(bytes.left(at).constData(), 0777) != 0 && errno != EEXIST)
            error = errno;
    }
    struct stat status {};
    if (error == 0 && ::stat(bytes.constData(), &status) != 0)
        error = errno;
    else if (error == 0 && !S_ISDIR(status.st_mode))
        error = ENOTDIR;
    if (error == 0)
        return {};
    Error failure = fileError(error);
    failure.description =
        QStringLiteral("Could not create the folder '%1': %2").arg(path, QString::fromLocal8Bit(std::strerror(error)));
    return failure;
}

bool openForReading(QFile& file, const QString& name)
{
    const int fd = ::open(textToBytes(name).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    errno = EIO;
    return false;
}

QByteArray followLinks(QByteArray name)
{
    constexpr int kMostLinks = 40;  // as the kernel follows them
    for (int link = 0; link < kMostLinks; ++link) {
        struct stat status {};
        if (lstat(name.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
            return name;
        QByteArray target(4096, Qt::Uninitialized);
        const ssize_t length = readlink(name.constData(), target.data(), static_cast<size_t>(target.size()));
        if (length <= 0 || length >= target.size())
            return name;
        target.truncate(length);
        const qsizetype slash = name.lastIndexOf('/');
        name = target.startsWith('/') || slash < 0 ? target : name.left(slash + 1) + target;
    }
    return name;
}

bool sameFile(const QString& one, const QString& other)
{
    struct stat first {};
    struct stat second {};
    return ::stat(textToBytes(one).constData(), &first) == 0 && ::stat(textToBytes(other).constData(), &second) == 0
           && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

Status appendLine(const QString& path, QStringView text)
{
    if (path.isEmpty())
        return makeError(ErrorCode::PathNotFound);
    if (hasNul(path))
        return makeError(ErrorCode::BadFileName);
    if (kindOf(path) == Kind::Folder)
        return makeError(ErrorCode::PathFileAccess);
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "abe");
    if (!file)
        return fileError(errno);
    QByteArray line;
    appendLocaleBytes(line, text);
    line.append("\r\n", 2);
    const bool written = std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), file)
                         == static_cast<size_t>(line.size());
    const int writeErrno = errno;
    if (std::fclose(file) != 0 && written)
        return fileError(errno);
    if (!written)
        return fileError(writeErrno);
    return {};
}

}  // namespace varnex
