#include "RadixSort.h"

#include "TwoThreads.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace varnex {
namespace {

constexpr size_t kDigits = 4;
using Counts = std::array<uint32_t, 65536>;

uint32_t digitOf(const KeyedRow& row, size_t digit)
{
    return static_cast<uint32_t>(row.key >> (16 * digit)) & 0xFFFF;
}

// The digits in which some keys differ, the lowest first.
std::vector<size_t> differingDigits(const KeyedRow* rows, size_t count)
{
    uint64_t differ = 0;
    for (size_t i = 0; i < count; ++i)
        differ |= rows[i].key ^ rows[0].key;
    std::vector<size_t> digits;
    for (size_t digit = 0; digit < kDigits; ++digit) {
        if (digitOf(KeyedRow{differ, 0}, digit) != 0)
            digits.push_back(digit);
    }
    return digits;
}

// All digits counted in one pass over the rows.
KeyedRow* sortOnOneThread(KeyedRow* rows, KeyedRow* scratch, size_t count)
{
    const auto counts = std::make_unique<std::array<Counts, kDigits>>();
    for (size_t i = 0; i < count; ++i) {
        for (size_t digit = 0; digit < kDigits; ++digit)
            ++(*counts)[digit][digitOf(rows[i], digit)];
    }
    for (size_t digit = 0; digit < kDigits; ++digit) {
        Counts& next = (*counts)[digit];
        if (next[digitOf(rows[0], digit)] == count)
            continue;  // a digit all rows share
        uint32_t total = 0;
        for (uint32_t& n : next)
            total += std::exchange(n, total);  // the count becomes where the rows go
        for (size_t i = 0; i < count; ++i)
            scratch[next[digitOf(rows[i], digit)]++] = rows[i];
        std::swap(rows, scratch);
    }
    return rows;
}

// Each pass splits the rows in two halves: each half's digits are counted, then each half written
// where it goes (the first half's rows of a digit before the second's), each half on a thread.
KeyedRow* sortOnTwoThreads(KeyedRow* rows, KeyedRow* scratch, size_t count)
{
    const size_t half = count / 2;
    const auto counts = std::make_unique<std::array<Counts, 2>>();
    for (const size_t digit : differingDigits(rows, count)) {
        onTwoThreads(half, count, [&](size_t from, size_t to) {
            Counts& n = (*counts)[from == 0 ? 0 : 1];
            n.fill(0);
            for (size_t i = from; i < to; ++i)
                ++n[digitOf(rows[i], digit)];
        });
        uint32_t total = 0;
        for (size_t d = 0; d < 65536; ++d) {
            for (Counts& n : *counts)
                total += std::exchange(n[d], total);  // the count becomes where the rows go
        }
        onTwoThreads(half, count, [&](size_t from, size_t to) {
            Counts& next = (*counts)[from == 0 ? 0 : 1];
            for (size_t i = from; i < to; ++i)
                scratch[next[digitOf(rows[i], digit)]++] = rows[i];
        });
        std::swap(rows, scratch);
    }
    return rows;
}

// Sorts count rows, with room for count rows in scratch; returns rows or scratch, whichever holds them sorted.
KeyedRow* sortBy(bool twoThreads, KeyedRow* rows, KeyedRow* scratch, size_t count)
{
    return twoThreads ? sortOnTwoThreads(rows, scratch, count) : sortOnOneThread(rows, scratch, count);
}

// The same, the sorted rows where they were.
void sortWhereTheyAre(KeyedRow* rows, KeyedRow* scratch, size_t count, bool twoThreads)
{
    const KeyedRow* const sorted = sortBy(twoThreads, rows, scratch, count);
    if (sorted != rows)
        std::memcpy(static_cast<void*>(rows), sorted, count * sizeof(KeyedRow));
}

// Merges the sorted first half, moved out to `first`, with the sorted second half, still in place
// after it, into rows; on equal keys the first half's row goes first. What is written never
// overtakes what is still to be read of the second half.
void mergeHalves(KeyedRow* rows, const KeyedRow* first, size_t firstCount, size_t count)
{
    const KeyedRow* const firstEnd = first + firstCount;
    const KeyedRow* second = rows + firstCount;
    const KeyedRow* const secondEnd = rows + count;
    KeyedRow* out = rows;
    while (first != firstEnd && second != secondEnd)
        *out++ = second->key < first->key ? *second++ : *first++;
    // Rows left of the second half are where they go already.
    std::memcpy(static_cast<void*>(out), first, static_cast<size_t>(firstEnd - first) * sizeof(KeyedRow));
}

}  // namespace

void radixSort(KeyedRow* rows, KeyedRow* scratch, size_t count, bool twoThreads)
{
    if (std::is_sorted(rows, rows + count, [](const KeyedRow& a, const KeyedRow& b) { return a.key < b.key; }))
        return;
    twoThreads = twoThreads && count >= (size_t{1} << 16);
    const size_t firstCount = radixScratchRows(count);
    sortWhereTheyAre(rows + firstCount, scratch, count - firstCount, twoThreads);
    if (sortBy(twoThreads, rows, scratch, firstCount) == rows)
        std::memcpy(static_cast<void*>(scratch), rows, firstCount * sizeof(KeyedRow));
    mergeHalves(rows, scratch, firstCount, count);
}

}  // namespace varnex
