#pragma once
// Sorting rows by 64-bit keys whose unsigned order is the order wanted.

#include <cstdint>
#include <vector>

namespace varnex {

// A row to sort and its key. Packed: a sort holds two of these per row (the radix passes' own).
struct [[gnu::packed]] KeyedRow {
    uint64_t key;
    uint32_t row;
};

// Stable least-significant-digit radix sort on 16-bit digits, skipping digits all rows share
// and the whole sort when the rows are already in order.
void radixSort(std::vector<KeyedRow>& rows);

}  // namespace varnex
