#include "core/OutputFile.h"

#include "core/ByteText.h"
#include "core/FileSystem.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnex {
namespace {

constexpr int kNameAttempts = 100;

// A replacement file's bytes are handed to the disk this many at a time as they are written
// (see OutputFile::startWriteback).
constexpr off_t kWritebackBytes = off_t{8} << 20;

bool allDigits(const QByteArray& text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// The descriptor of this process a name stands for (/dev/stdout, /dev/fd/3), or -1. Opening
// such a name anew would not reach a socket or a pipe's writing end the same way, and a regular
// file behind it would be replaced instead of written where the descriptor points.
int descriptorNamed(const QByteArray& name)
{
    if (name == "/dev/stdout")
        return STDOUT_FILENO;
    if (name == "/dev/stderr")
        return STDERR_FILENO;
    for (const QByteArrayView prefix : {QByteArrayView("/dev/fd/"), QByteArrayView("/proc/self/fd/")}) {
        const QByteArray number = name.mid(prefix.size());
        if (name.startsWith(prefix) && allDigits(number) && number.size() < 10)
            return number.toInt();
    }
    return -1;
}

QByteArray randomSuffix()
{
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray suffix(".XXXXXX");
    for (qsizetype i = 1; i < suffix.size(); ++i)
        suffix[i] = kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
    return suffix;
}

// An existing file keeps its owner (where this process may give it: root) and its mode.
void takeOverOwnerAndMode(int fd, const struct stat& old)
{
    if (old.st_uid != geteuid() || old.st_gid != getegid()) {
        if (fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Only root may give a file away; the new file then stays this user's.
        }
    }
    if (fchmod(fd, old.st_mode & 07777) != 0) {
        // The file keeps the mode it was created with.
    }
}

}  // namespace

OutputFile::OutputFile(const QString& name) : name_(name) {}

OutputFile::~OutputFile()
{
    discard();
}

Status OutputFile::open()
{
    const QByteArray name = textToBytes(name_);
    if (const int descriptor = descriptorNamed(name); descriptor >= 0) {
        fd_ = fcntl(descriptor, F_DUPFD_CLOEXEC, 3);
        return fd_ >= 0 ? Status() : failure(QStringLiteral("create"), errno);
    }
    struct stat status {};
    if (stat(name.constData(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return failure(QStringLiteral("create"), EISDIR);
        if (!S_ISREG(status.st_mode))
            return openInPlace(name);
    } else if (errno != ENOENT) {
        return failure(QStringLiteral("create"), errno);
    }
    return openReplacement(followLinks(name));
}

Status OutputFile::openInPlace(const QByteArray& target)
{
    // A FIFO waits here for its reader; an interruption ends the wait (EINTR).
    fd_ = ::open(target.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    return fd_ >= 0 ? Status() : failure(QStringLiteral("create"), errno);
}

Status OutputFile::openReplacement(const QByteArray& finalName)
{
    struct stat old {};
    const bool exists = stat(finalName.constData(), &old) == 0;
    for (int attempt = 0; fd_ < 0; ++attempt) {
        temporary_ = finalName + randomSuffix();
        fd_ = ::open(temporary_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd_ < 0 && (errno != EEXIST || attempt == kNameAttempts)) {
            const int error = errno;
            temporary_.clear();
            return failure(QStringLiteral("create"), error);
        }
    }
    finalName_ = finalName;
    if (exists)
        takeOverOwnerAndMode(fd_, old);
    return {};
}

Status OutputFile::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        // No retry after EINTR: an interruption is meant to end a write that waits (on a FIFO).
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written <= 0)
            return failure(QStringLiteral("write"), written < 0 ? errno : EIO);
        bytes.remove_prefix(static_cast<size_t>(written));
        written_ += written;
    }
    startWriteback();
    return {};
}

void OutputFile::startWriteback()
{
    // The disk writes what came so far while the rest is made, so that commit()'s fsync waits
    // for the last few MiB only rather than for the whole file. Only asked to start: a failure
    // shows in the fsync.
    if (finalName_.isEmpty() || written_ - handedToDisk_ < kWritebackBytes)
        return;
    (void)sync_file_range(fd_, handedToDisk_, written_ - handedToDisk_, SYNC_FILE_RANGE_WRITE);
    handedToDisk_ = written_;
}

Status OutputFile::commit()
{
    if (fd_ < 0)
        return failure(QStringLiteral("write"), EBADF);
    const int fd = std::exchange(fd_, -1);
    if (finalName_.isEmpty())
        return ::close(fd) == 0 || errno == EINTR ? Status() : failure(QStringLiteral("write"), errno);
    int error = fsync(fd) == 0 ? 0 : errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && rename(temporary_.constData(), finalName_.constData()) != 0)
        error = errno;
    if (error != 0) {
        discard();
        return failure(QStringLiteral("write"), error);
    }
    temporary_.clear();
    return {};
}

void OutputFile::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty())
        unlink(temporary_.constData());
    temporary_.clear();
}

Error OutputFile::failure(const QString& action, int error) const
{
    Error failed = fileError(error);
    failed.description = QStringLiteral("Could not %1 '%2': %3")
                             .arg(action, name_, QString::fromLocal8Bit(std::strerror(error)));
    return failed;
}

}  // namespace varnex
