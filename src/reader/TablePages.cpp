#include "TablePages.h"
#include "reader/LittleEndian.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace varnex::reader {
namespace {

constexpr uint8_t kDataPage = 0x01;
constexpr size_t kMapHeader = 1;    // the map's kind
constexpr size_t kInlineStart = 5;  // kind, then the first page the bits count from
constexpr size_t kBitmapHeader = 4; // of a page of map bits

}  // namespace

TablePages::TablePages(MdbHandle* mdb, MdbTableDef* table)
    : mdb_(mdb), table_(table), pageSize_(static_cast<size_t>(mdb->fmt->pg_size)), file_(fileno(mdb->f->stream)),
      map_(Map::Libmdb), bitmap_(pageSize_)
{
    // Pages that libmdb decodes itself are left to it (a plain file has none).
    const bool plain = mdb->f->db_key == 0;
    if (plain && table->usage_map && table->map_sz >= kInlineStart && table->usage_map[0] == 0)
        map_ = Map::Inline;
    else if (plain && table->usage_map && table->map_sz >= kMapHeader && table->usage_map[0] == 1)
        map_ = Map::Pages;
}

// libmdb's order: the first flagged page after the last one, from the map's own bits (Inline)
// or from the pages of bits it lists (Pages, an entry of 0 skipped with the offset kept, as
// libmdb does).
bool TablePages::nextFlagged(uint32_t& page)
{
    const uint8_t* map = table_->usage_map;
    const size_t size = table_->map_sz;
    if (map_ == Map::Inline) {
        const uint32_t first = readU32(map + kMapHeader);
        const uint64_t bits = (size - kInlineStart) * 8;
        uint64_t i = last_ >= first ? uint64_t{last_} - first + 1 : 0;
        for (; i < bits; ++i) {
            if (map[kInlineStart + i / 8] & (1u << (i % 8))) {
                page = static_cast<uint32_t>(first + i);
                return true;
            }
        }
        page = 0;
        return true;
    }
    const uint64_t bitsPerPage = (pageSize_ - kBitmapHeader) * 8;
    const uint64_t entries = (size - kMapHeader) / 4;
    uint64_t index = (uint64_t{last_} + 1) / bitsPerPage;
    uint64_t offset = (uint64_t{last_} + 1) % bitsPerPage;
    for (; index < entries; ++index) {
        const uint32_t bitsPage = readU32(map + kMapHeader + 4 * index);
        if (bitsPage == 0)
            continue;
        if (!bitmapLoaded_ || mapIndex_ != index) {
            bitmapLoaded_ = false;
            if (!readPage(bitsPage, bitmap_.data()))
                return false;
            bitmapLoaded_ = true;
            mapIndex_ = static_cast<uint32_t>(index);
        }
        const uint8_t* bits = bitmap_.data() + kBitmapHeader;
        for (uint64_t i = offset; i < bitsPerPage; ++i) {
            if (bits[i / 8] & (1u << (i % 8))) {
                page = static_cast<uint32_t>(index * bitsPerPage + i);
                return true;
            }
        }
        offset = 0;
    }
    page = 0;
    return true;
}

// A whole page, or the part of it the file holds with zeros after it; false past the file's end.
bool TablePages::readPage(uint32_t page, uint8_t* into)
{
    const auto offset = static_cast<off_t>(page) * static_cast<off_t>(pageSize_);
    size_t got = 0;
    while (got < pageSize_) {
        const ssize_t n = pread(file_, into + got, pageSize_ - got, offset + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    struct stat file {};
    if (got == 0 && page != 0 && (fstat(file_, &file) != 0 || file.st_size < offset))
        return false;  // beyond the file, where libmdb's read fails too
    std::memset(into + got, 0, pageSize_ - got);
    return true;
}

bool TablePages::next()
{
    if (map_ == Map::Libmdb)
        return mdb_read_next_dpg(table_) != 0;
    for (;;) {
        uint32_t page = 0;
        if (!nextFlagged(page)) {
            map_ = Map::Libmdb;  // a map page that cannot be read: libmdb walks on, by its own means
            table_->cur_phys_pg = last_;
            return mdb_read_next_dpg(table_) != 0;
        }
        if (page == 0 || page == last_)
            return false;
        if (!readPage(page, mdb_->pg_buf))
            return false;
        mdb_->cur_pg = page;
        last_ = page;
        table_->cur_phys_pg = page;
        const uint8_t* read = mdb_->pg_buf;
        if (read[0] == kDataPage && readU32(read + 4) == static_cast<uint32_t>(table_->entry->table_pg))
            return true;
    }
}

}  // namespace varnex::reader
