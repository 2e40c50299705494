#include "core/FileReplacement.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

namespace varnex {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { closeNow(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd() const { return fd_; }
    bool closeNow()
    {
        const bool closed = fd_ < 0 || ::close(fd_) == 0;
        fd_ = -1;
        return closed;
    }

private:
    int fd_;
};

// Every byte at offset, or false; a short write (a filling disk) is carried on until it fails.
bool writeAt(int fd, const char* data, qsizetype n, off_t offset)
{
    while (n > 0) {
        const ssize_t written = pwrite(fd, data, static_cast<size_t>(n), offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        n -= written;
        offset += written;
    }
    return true;
}

std::optional<QByteArray> readRegularFile(int fd)
{
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    QByteArray bytes(static_cast<qsizetype>(status.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got = pread(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done), done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}

// nullopt when the folder takes no temporary file, or no renaming over the file.
std::optional<bool> writeBesideAndRename(const QString& path, const QByteArray& bytes, mode_t mode)
{
    const QFileInfo info(path);
    QByteArray temporary = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName()) + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    Descriptor file(fd);
    bool written = fchmod(fd, mode) == 0 && writeAt(fd, bytes.constData(), bytes.size(), 0) && fsync(fd) == 0;
    written = file.closeNow() && written;
    if (written && rename(temporary.constData(), QFile::encodeName(path).constData()) == 0)
        return true;
    const bool refused = written && (errno == EACCES || errno == EPERM);  // e.g. another's file in a sticky folder
    unlink(temporary.constData());
    return refused ? std::nullopt : std::optional<bool>(false);
}

// Puts the old bytes and length back after a failed step.
bool restore(int fd, const QByteArray& old)
{
    (void)(writeAt(fd, old.constData(), old.size(), 0) && ftruncate(fd, old.size()) == 0 && fsync(fd) == 0);
    return false;
}

// Grows the file by the part of the new bytes beyond its old length (made sure of on disk),
// then writes the new bytes over the old ones and cuts the file to their length.
bool rewriteInPlace(const QString& path, const QByteArray& bytes)
{
    const Descriptor file(::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC));
    if (file.fd() < 0)
        return false;
    const std::optional<QByteArray> old = readRegularFile(file.fd());
    if (!old)
        return false;
    const qsizetype oldSize = old->size();
    if (bytes.size() > oldSize
        && (!writeAt(file.fd(), bytes.constData() + oldSize, bytes.size() - oldSize, oldSize) || fsync(file.fd()) != 0))
        return restore(file.fd(), *old);
    if (!writeAt(file.fd(), bytes.constData(), std::min(oldSize, bytes.size()), 0)
        || (bytes.size() < oldSize && ftruncate(file.fd(), bytes.size()) != 0) || fsync(file.fd()) != 0)
        return restore(file.fd(), *old);
    return true;
}

}  // namespace

bool replaceFileContents(const QString& path, const QByteArray& bytes, unsigned newFileMode)
{
    const QFileInfo link(path);
    const QString target = link.isSymLink() ? link.symLinkTarget() : path;
    struct stat existing {};
    const bool exists = stat(QFile::encodeName(target).constData(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return false;
    const mode_t mode = exists ? existing.st_mode & 07777 : static_cast<mode_t>(newFileMode);
    if (const std::optional<bool> written = writeBesideAndRename(target, bytes, mode))
        return *written;
    return exists && rewriteInPlace(target, bytes);
}

}  // namespace varnex
