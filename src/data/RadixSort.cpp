#include "RadixSort.h"

#include <algorithm>
#include <array>
#include <utility>

namespace varnex {

void radixSort(std::vector<KeyedRow>& rows)
{
    if (std::is_sorted(rows.begin(), rows.end(), [](const KeyedRow& a, const KeyedRow& b) { return a.key < b.key; }))
        return;
    std::vector<std::array<uint32_t, 65536>> counts(4);
    for (const KeyedRow& r : rows) {
        for (int digit = 0; digit < 4; ++digit)
            ++counts[static_cast<size_t>(digit)][(r.key >> (16 * digit)) & 0xFFFF];
    }
    std::vector<KeyedRow> scratch(rows.size());
    for (int digit = 0; digit < 4; ++digit) {
        auto& count = counts[static_cast<size_t>(digit)];
        const int shift = 16 * digit;
        if (count[(rows.front().key >> shift) & 0xFFFF] == rows.size())
            continue;
        uint32_t total = 0;
        for (uint32_t& n : count)
            total += std::exchange(n, total);
        for (const KeyedRow& r : rows)
            scratch[count[(r.key >> shift) & 0xFFFF]++] = r;
        rows.swap(scratch);
    }
}

}  // namespace varnex
