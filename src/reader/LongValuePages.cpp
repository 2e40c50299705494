#include "reader/LongValuePages.h"

#include "reader/RowOffsets.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace varnex::reader {

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

LongValuePages::Row LongValuePages::row(uint32_t pointer)
{
    if (!load(pointer >> 8))
        return {};
    int start = 0;
    size_t length = 0;
    if (!findRow(page_.data(), static_cast<int>(page_.size()), static_cast<int>(rowCountOffset_), static_cast<int>(pointer & 0xFF),
                 start, length))
        return {};
    return {page_.data() + (start & kOffsetMask), length};
}

}  // namespace varnex::reader
