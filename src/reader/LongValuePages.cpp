#include "reader/LongValuePages.h"

#include "reader/RowOffsets.h"

#include <cstring>

namespace varnex::reader {
namespace {

constexpr int kMaxRowsOnPage = 1000;

uint16_t u16At(const uint8_t* at)
{
    return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

}  // namespace

LongValuePages::LongValuePages(MdbHandle* mdb) : mdb_(mdb), page_(mdb->fmt->pg_size) {}

bool LongValuePages::load(uint32_t page)
{
    if (page == loaded_)
        return true;
    loaded_ = 0;
    if (page == 0 || mdb_read_alt_pg(mdb_, page) != static_cast<ssize_t>(page_.size()))
        return false;
    std::memcpy(page_.data(), mdb_->alt_pg_buf, page_.size());
    loaded_ = page;
    return true;
}

// A row's start is in the page's offset table after the row count; it ends where the row
// before it starts (the first row at the end of the page). The top bits of an offset are flags.
LongValuePages::Row LongValuePages::row(uint32_t pointer)
{
    const uint32_t page = pointer >> 8;
    const int row = static_cast<int>(pointer & 0xFF);
    if (!load(page))
        return {};
    const size_t pageSize = page_.size();
    const auto countAt = static_cast<size_t>(mdb_->fmt->row_count_offset);
    if (row > kMaxRowsOnPage || countAt + 4 + 2 * static_cast<size_t>(row) > pageSize)
        return {};
    const size_t start = u16At(&page_[countAt + 2 + 2 * static_cast<size_t>(row)]) & kOffsetMask;
    const size_t end = row == 0 ? pageSize : u16At(&page_[countAt + 2 * static_cast<size_t>(row)]) & kOffsetMask;
    if (start >= pageSize || start > end || end > pageSize)
        return {};
    return {page_.data() + start, end - start};
}

}  // namespace varnex::reader
