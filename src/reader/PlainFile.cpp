#include "reader/PlainFile.h"

#include "core/FileSystem.h"
#include "crypto/JetPageEncoding.h"
#include "data/PageEncryption.h"
#include "data/ReaderProtocol.h"

#include <QFile>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <utility>
#include <vector>

namespace varnex::reader {
namespace {

// A megabyte or so: even a busy machine decrypts that well within the time the reader may stay silent.
constexpr uint32_t kPagesBetweenSignsOfLife = 256;

Error unreadable(const QString& path)
{
    return {ErrorCode::ReadFailed, QStringLiteral("The pages of the database '%1' could not be decoded.").arg(path)};
}

}  // namespace

PlainFile::PlainFile(PlainFile&& other) noexcept
    : path_(std::move(other.path_)), header_(std::move(other.header_)), memoryFile_(std::exchange(other.memoryFile_, -1))
{
}

PlainFile& PlainFile::operator=(PlainFile&& other) noexcept
{
    if (this != &other) {
        if (memoryFile_ >= 0)
            close(memoryFile_);
        path_ = std::move(other.path_);
        header_ = std::move(other.header_);
        memoryFile_ = std::exchange(other.memoryFile_, -1);
    }
    return *this;
}

PlainFile::~PlainFile()
{
    if (memoryFile_ >= 0)
        close(memoryFile_);
}

Result<PlainFile> PlainFile::open(const QString& path, const QString& password, const std::function<void()>& working)
{
    auto header = readJetHeader(path);
    if (!header)
        return header.error();
    PlainFile plain;
    plain.path_ = path;
    plain.header_ = std::move(*header);
    if (!plain.header_.pagesEncoded())
        return plain;
    std::optional<crypto::PageCipher> cipher;
    if (plain.header_.format == JetFormat::Ace) {
        auto unlocked = unlockPages(plain.header_, password, path);
        if (!unlocked)
            return unlocked.error();
        cipher = std::move(*unlocked);
    }
    if (Status decoded = plain.decode(path, cipher, working); !decoded)
        return decoded.error();
    return plain;
}

// Every whole page, decoded; a page cut short at the end of the file cannot be, and is left out.
Status PlainFile::decode(const QString& original, const std::optional<crypto::PageCipher>& cipher,
                        const std::function<void()>& working)
{
    QFile file;
    if (!openForReading(file, original))
        return makeError(ErrorCode::CannotOpenFile, original);
    memoryFile_ = memfd_create("varnex-plain-pages", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (memoryFile_ < 0)
        return unreadable(original);
    const size_t pageSize = header_.format == JetFormat::Jet3 ? 2048 : 4096;
    std::vector<uint8_t> page(pageSize);
    for (uint32_t number = 0; file.read(reinterpret_cast<char*>(page.data()), static_cast<qint64>(pageSize))
                              == static_cast<qint64>(pageSize);
         ++number) {
        if (number == 0)
            crypto::clearEncodingKey(page);
        else if (!cipher)
            crypto::applyJetPageEncoding(header_.databaseKey, number, page);
        else if (!cipher->decryptPage(number, page))
            return unreadable(original);
        if (!writeAll(memoryFile_, page.data(), page.size()))
            return unreadable(original);
        if (working && number % kPagesBetweenSignsOfLife == 0)
            working();
    }
    // Nothing may change the pages while they are read.
    fcntl(memoryFile_, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
    path_ = QStringLiteral("/proc/self/fd/%1").arg(memoryFile_);
    return {};
}

}  // namespace varnex::reader
