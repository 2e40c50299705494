#include "reader/LongValuePages.h"

#include "reader/RowOffsets.h"
#include "reader/LittleEndian.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace varnex::reader {
namespace {

constexpr int kMaxRowsOnPage = 1000;

}  // namespace

LongValuePages::LongValuePages(MdbHandle* mdb)
    : file_(fileno(mdb->f->stream)), rowCountOffset_(static_cast<size_t>(mdb->fmt->row_count_offset)),
      page_(mdb->fmt->pg_size)
{
}

// Read from the file itself, not through libmdb, whose buffers the walk of the table uses
// meanwhile on another thread; the file is plain (see PlainFile), as libmdb reads it.
bool LongValuePages::load(uint32_t page)
{
    if (page == loaded_)
        return true;
    loaded_ = 0;
    if (page == 0)
        return false;
    const auto size = static_cast<ssize_t>(page_.size());
    const auto offset = static_cast<off_t>(page) * static_cast<off_t>(size);
    ssize_t got = 0;
    while (got < size) {
        const ssize_t n = pread(file_, page_.data() + got, static_cast<size_t>(size - got), offset + got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        got += n;
    }
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
    const size_t countAt = rowCountOffset_;
    if (row > kMaxRowsOnPage || countAt + 4 + 2 * static_cast<size_t>(row) > pageSize)
        return {};
    const size_t start = readU16(&page_[countAt + 2 + 2 * static_cast<size_t>(row)]) & kOffsetMask;
    const size_t end = row == 0 ? pageSize : readU16(&page_[countAt + 2 * static_cast<size_t>(row)]) & kOffsetMask;
    if (start >= pageSize || start > end || end > pageSize)
        return {};
    return {page_.data() + start, end - start};
}

}  // namespace varnex::reader
