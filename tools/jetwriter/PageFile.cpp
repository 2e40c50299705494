#include "jetwriter/PageFile.h"

#include "crypto/JetPageEncoding.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace jetwriter {
namespace {

std::runtime_error ioError(const std::string& what, const std::filesystem::path& path)
{
    return std::runtime_error(what + " " + path.string() + ": " + std::strerror(errno));
}

}  // namespace

PageFile::PageFile(const std::filesystem::path& file, uint32_t pageSize) : path_(file), pageSize_(pageSize)
{
    fd_ = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0)
        throw ioError("cannot create", file);
}

PageFile::~PageFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

uint32_t PageFile::allocate(uint32_t count)
{
    const uint32_t first = next_;
    if (count > 0x00FFFFFFu - next_)
        throw std::runtime_error("database would exceed the page limit");
    next_ += count;
    return first;
}

void PageFile::write(uint32_t page, const std::vector<uint8_t>& plain)
{
    if (plain.size() != pageSize_ || page >= next_)
        throw std::logic_error("page write out of range");
    std::vector<uint8_t> encrypted;
    if (cipher_ && page != 0) {
        encrypted = plain;
        if (!cipher_->encryptPage(page, encrypted))
            throw std::runtime_error("cannot encrypt page " + std::to_string(page));
    } else if (databaseKey_ != 0 && page != 0) {
        encrypted = plain;
        const std::array<uint8_t, 4> key = {static_cast<uint8_t>(databaseKey_), static_cast<uint8_t>(databaseKey_ >> 8),
                                            static_cast<uint8_t>(databaseKey_ >> 16), static_cast<uint8_t>(databaseKey_ >> 24)};
        varnex::crypto::applyJetPageEncoding(key, page, encrypted);
    }
    const std::vector<uint8_t>& bytes = encrypted.empty() ? plain : encrypted;
    const auto offset = static_cast<off_t>(page) * pageSize_;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw ioError("cannot write", path_);
        done += static_cast<size_t>(n);
    }
}

void PageFile::close()
{
    if (fd_ < 0)
        return;
    const int fd = fd_;
    fd_ = -1;
    if (::ftruncate(fd, static_cast<off_t>(next_) * pageSize_) != 0 || ::close(fd) != 0)
        throw ioError("cannot finish", path_);
}

}  // namespace jetwriter
