#include "export/NewDatabaseFile.h"

#include "core/ByteText.h"
#include "core/FileSystem.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnex {
namespace {

constexpr int kNameAttempts = 100;

QString causeOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Where a file system cannot rename without replacing, a hard link does the same: it fails where the
// name is taken.
int renameWithoutReplacing(const QByteArray& from, const QByteArray& to)
{
    if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (link(from.constData(), to.constData()) != 0)
        return errno;
    unlink(from.constData());
    return 0;
}

// The folder holding a name, to sync once the name is in it.
QByteArray folderOf(const QByteArray& name)
{
    const qsizetype slash = name.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : name.left(slash);
}

}  // namespace

NewDatabaseFile::NewDatabaseFile(const QString& name, bool replace) : name_(name), replace_(replace) {}

NewDatabaseFile::~NewDatabaseFile()
{
    if (!temporary_.isEmpty())
        unlink(temporary_.constData());
}

Error NewDatabaseFile::failure(const QString& action, const QString& cause, ErrorCode code) const
{
    return Error{code, QStringLiteral("Could not %1 '%2': %3").arg(action, name_, cause)};
}

Status NewDatabaseFile::create()
{
    finalName_ = followLinks(textToBytes(name_));
    struct stat status {};
    if (stat(finalName_.constData(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return failure(QStringLiteral("create"), causeOf(EISDIR), ErrorCode::BadFileName);
        if (!S_ISREG(status.st_mode))
            return failure(QStringLiteral("create"), QStringLiteral("it is not a regular file, which a database needs"),
                           ErrorCode::BadFileName);
        if (!replace_)
            return failure(QStringLiteral("create"), QStringLiteral("it already exists"), ErrorCode::PathFileAccess);
        existingMode_ = status.st_mode & 07777;
    } else if (errno != ENOENT) {
        return failure(QStringLiteral("create"), causeOf(errno), fileError(errno).code);
    }
    for (int attempt = 0; temporary_.isEmpty(); ++attempt) {
        const QByteArray candidate = finalName_ + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt == kNameAttempts))
            return failure(QStringLiteral("create"), causeOf(errno), fileError(errno).code);
        if (fd < 0)
            continue;
        if (existingMode_ != 0 && fchmod(fd, existingMode_) != 0) {
            // The new file keeps the mode it was created with.
        }
        ::close(fd);
        temporary_ = candidate;
    }
    return {};
}

Status NewDatabaseFile::commit()
{
    const int fd = ::open(temporary_.constData(), O_RDONLY | O_CLOEXEC);
    int error = fd < 0 ? errno : (fsync(fd) == 0 ? 0 : errno);
    if (fd >= 0)
        ::close(fd);
    if (error == 0)
        error = replace_ ? (std::rename(temporary_.constData(), finalName_.constData()) == 0 ? 0 : errno)
                         : renameWithoutReplacing(temporary_, finalName_);
    if (error == EEXIST)
        return failure(QStringLiteral("write"), QStringLiteral("it appeared while the database was written, and is left as it is"),
                       ErrorCode::PathFileAccess);
    if (error != 0)
        return failure(QStringLiteral("write"), causeOf(error), fileError(error).code);
    temporary_.clear();
    // The new name lasts only once its folder is on the disk too.
    const int folder = ::open(folderOf(finalName_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        ::close(folder);
    }
    return {};
}

}  // namespace varnex
