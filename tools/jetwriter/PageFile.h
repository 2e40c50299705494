#pragma once
// The output file as an array of pages: numbers are handed out in order, pages written in any order.

#include "crypto/PageCipher.h"
#include "jetwriter/FormatInfo.h"

#include <filesystem>
#include <vector>

namespace jetwriter {

class PageFile {
public:
    PageFile(const std::filesystem::path& file, uint32_t pageSize);
    ~PageFile();
    PageFile(const PageFile&) = delete;
    PageFile& operator=(const PageFile&) = delete;

    // Every page but page 0 written from now on goes through the cipher (which must outlive the file).
    void encryptWith(const varnex::crypto::PageCipher* cipher) { cipher_ = cipher; }
    // Every page but page 0 written from now on is encoded with a Jet database key (0: none).
    void encodeWith(uint32_t databaseKey) { databaseKey_ = databaseKey; }
    uint32_t allocate(uint32_t count = 1);
    uint32_t pageCount() const { return next_; }
    void write(uint32_t page, const std::vector<uint8_t>& bytes);
    void close();

private:
    std::filesystem::path path_;
    int fd_ = -1;
    uint32_t pageSize_;
    uint32_t next_ = 0;
    const varnex::crypto::PageCipher* cipher_ = nullptr;
    uint32_t databaseKey_ = 0;
};

}  // namespace jetwriter
