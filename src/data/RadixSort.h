#pragma once
// Sorting rows by 64-bit keys whose unsigned order is the order wanted.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace varnex {

// A row to sort and its key. Packed: a sort holds one and a half of these per row.
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

// The room radixSort() needs beside count rows.
constexpr size_t radixScratchRows(size_t count)
{
    return (count + 1) / 2;
}

// Stable sort of count rows, where they are. Each half is sorted by least-significant-digit radix
// passes on 16-bit digits (skipping digits all its rows share), then the halves are merged, so
// that the scratch needs room for only radixScratchRows(count) rows. Rows already in order are
// left as they are. twoThreads: many rows are sorted on two threads, at the cost of counting each
// digit in a pass of its own.
void radixSort(KeyedRow* rows, KeyedRow* scratch, size_t count, bool twoThreads);

}  // namespace varnex
