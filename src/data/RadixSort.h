#pragma once
// Sorting rows by 64-bit keys whose unsigned order is the order wanted.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace varnex {

// A row to sort and its key. Packed: a sort holds two of these per row (the radix passes' own).
struct [[gnu::packed]] KeyedRow {
    uint64_t key;
    uint32_t row;
};

// Rows in memory of its own, not set to anything first: the sorts write every row before reading it.
using KeyedRows = std::unique_ptr<KeyedRow[]>;

inline KeyedRows keyedRows(size_t count)
{
    return std::make_unique_for_overwrite<KeyedRow[]>(count);
}

// Stable least-significant-digit radix sort of count rows on 16-bit digits, skipping digits all
// rows share and the whole sort when the rows are already in order. scratch: room for count rows.
// Returns rows or scratch, whichever holds the sorted rows. twoThreads: many rows are sorted on two
// threads, at the cost of counting each digit in a pass of its own.
KeyedRow* radixSort(KeyedRow* rows, KeyedRow* scratch, size_t count, bool twoThreads);

}  // namespace varnex
