#pragma once
// The offset table of a Jet data page: one 16-bit entry a row after the row count.
// The low 13 bits are where the row starts on the page; the top bits flag it.

#include "reader/LittleEndian.h"

#include <cstddef>
#include <cstdint>

namespace varnex::reader {

constexpr int kOffsetMask = 0x1FFF;
constexpr int kDeletedRow = 0x8000;
constexpr int kOverflowRow = 0x4000;  // the entry points at the row's new place on another page

// Where row number row of a page starts (its entry, flags and all) and how many bytes it has: up to
// where the row before it starts, the first up to the page's end. False where the entry does not
// lie on the page, or row is past the most a page can have (1000).
inline bool findRow(const uint8_t* page, int pageSize, int rowCountOffset, int row, int& start, size_t& length)
{
    if (row < 0 || row > 1000 || rowCountOffset + 4 + 2 * row > pageSize)
        return false;
    start = readU16(page + rowCountOffset + 2 + 2 * row);
    const int next = row == 0 ? pageSize : readU16(page + rowCountOffset + 2 * row) & kOffsetMask;
    const int from = start & kOffsetMask;
    length = static_cast<size_t>(next - from);
    return from < pageSize && from <= next && next <= pageSize;
}

}  // namespace varnex::reader
