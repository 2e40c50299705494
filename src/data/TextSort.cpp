#include "TextSort.h"

#include "RadixSort.h"
#include "TwoThreads.h"
#include "data/TextOrder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace varnex {
namespace {

// Set in a row number: its folded text goes on past its key or holds a zero byte, so that a
// key equal to another's does not make the texts equal. Row numbers stay below it: an Access
// file of at most 2 GB holds far fewer rows.
constexpr uint32_t kWholeTextFlag = 0x80000000u;

uint32_t rowOf(const KeyedRow& entry)
{
    return entry.row & ~kWholeTextFlag;
}

struct TextColumn {
    const ColumnData& data;

    std::string_view text(uint32_t row) const { return data.bytesValue(row); }
    // Where a row's text is, asked for ahead of its use.
    void prefetchEnd(uint32_t row) const
    {
        __builtin_prefetch(data.values.data() + static_cast<size_t>(row) * data.valueWidth());
    }
};

bool hasZeroByte(uint64_t eight, size_t bytes)
{
    const uint64_t zeros = (eight - 0x0101010101010101ull) & ~eight & 0x8080808080808080ull;
    const uint64_t within = bytes >= 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * bytes)) - 1;
    return (zeros & within) != 0;  // the lowest zero byte is always found, and no false one below it
}

// The first eight bytes of the folded text, big-endian and zero past its end: unsigned order is
// the order of those bytes. ASCII texts are folded here eight bytes at once. wholeText: the key
// alone cannot tell the text from another with the same key.
uint64_t foldedKey(std::string_view text, bool& wholeText)
{
    uint64_t eight = 0;
    if (text.size() >= sizeof eight)
        std::memcpy(&eight, text.data(), sizeof eight);
    else if (!text.empty())
        std::memcpy(&eight, text.data(), text.size());
    if ((eight & 0x8080808080808080ull) == 0) {
        wholeText = text.size() > 8 || hasZeroByte(eight, text.size());
        return __builtin_bswap64(foldedAsciiEight(eight));
    }
    constexpr size_t kLimit = 9;  // a ninth byte tells that the text goes on
    char folded[foldedRoom(kLimit, kLimit)];  // the most any text needs for that limit
    const size_t length = foldUtf8(text, folded, kLimit);
    eight = 0;
    std::memcpy(&eight, folded, std::min<size_t>(length, sizeof eight));
    wholeText = length > 8 || hasZeroByte(eight, length);
    return __builtin_bswap64(eight);
}

// Stable radix sort of entries on their keys, most significant byte first, starting at the
// highest byte in which they differ; short ranges by insertion.
void sortByKey(KeyedRow* first, KeyedRow* last, KeyedRow* scratch)
{
    const auto count = static_cast<size_t>(last - first);
    if (count <= 24) {
        for (KeyedRow* e = first + 1; e < last; ++e) {
            const KeyedRow moving = *e;
            KeyedRow* to = e;
            for (; to != first && moving.key < (to - 1)->key; --to)
                *to = *(to - 1);
            *to = moving;
        }
        return;
    }
    uint64_t differ = 0;
    const uint64_t firstKey = first->key;
    for (const KeyedRow* e = first; e != last; ++e)
        differ |= e->key ^ firstKey;
    if (differ == 0)
        return;
    const int shift = (63 - std::countl_zero(differ)) & ~7;
    uint32_t starts[257] = {};
    for (const KeyedRow* e = first; e != last; ++e)
        ++starts[((e->key >> shift) & 0xFF) + 1];
    for (size_t b = 1; b < 257; ++b)
        starts[b] += starts[b - 1];
    uint32_t next[256];
    std::memcpy(next, starts, sizeof next);
    for (const KeyedRow* e = first; e != last; ++e)
        scratch[next[(e->key >> shift) & 0xFF]++] = *e;
    std::memcpy(static_cast<void*>(first), scratch, count * sizeof(KeyedRow));
    if (shift == 0)
        return;
    for (size_t b = 0; b < 256; ++b) {
        if (starts[b + 1] - starts[b] > 1)
            sortByKey(first + starts[b], first + starts[b + 1], scratch + starts[b]);
    }
}

// Sorts runs of rows whose keys agree on the whole folded texts, each run folded on its own
// (no folded copy of the whole column is held), in buffers kept from run to run. Only the first
// bytes of a long text are folded at first; the rest where it is still tied there.
class RunSorter {
public:
    RunSorter(const TextColumn& texts, bool descending) : texts_(texts), flip_(descending ? ~uint64_t{0} : 0) {}

    // [first, last): rows in their order so far, whose keys agree; ahead: entries after them,
    // whose texts are asked for already.
    void sort(KeyedRow* first, KeyedRow* last, size_t ahead)
    {
        const auto count = static_cast<size_t>(last - first);
        fold(first, count, ahead);
        // The entries are sorted where they are, each holding its index in the run meanwhile.
        rows_.resize(count);
        scratch_.resize(count);
        for (size_t i = 0; i < count; ++i) {
            rows_[i] = first[i].row;
            first[i].row = static_cast<uint32_t>(i);
        }
        run_ = first;
        sortFrom(first, last, 8);
        for (size_t i = 0; i < count; ++i)
            first[i].row = rows_[first[i].row];
    }

private:
    // Texts read in an order other than the rows' are asked for well ahead, a block at a time:
    // where each text is, then its bytes, which the block then folds from the cache.
    void fold(const KeyedRow* first, size_t count, size_t ahead)
    {
        constexpr size_t kAhead = 16;
        constexpr size_t kBlock = 2048;
        views_.resize(std::min(count, kBlock));
        begins_.resize(count);
        ends_.resize(count);
        cut_.resize(count);
        used_ = 0;
        for (size_t block = 0; block < count; block += kBlock) {
            const size_t blockEnd = std::min(count, block + kBlock);
            for (size_t i = block; i < blockEnd; ++i) {
                if (i + kAhead < count + ahead)
                    texts_.prefetchEnd(rowOf(first[i + kAhead]));
                const std::string_view text = texts_.text(rowOf(first[i]));
                __builtin_prefetch(text.data());
                __builtin_prefetch(text.data() + text.size());
                views_[i - block] = text;
            }
            for (size_t i = block; i < blockEnd; ++i)
                cut_[i] = append(static_cast<uint32_t>(i), views_[i - block], kFoldedFirst) >= kFoldedFirst;
        }
    }

    // The bytes folded of each text at first: enough to tell most texts apart.
    static constexpr size_t kFoldedFirst = 64;

    // Folds at least limit bytes of the text (all where limit is SIZE_MAX) after the folded texts,
    // as index's; returns how many.
    size_t append(uint32_t index, std::string_view text, size_t limit)
    {
        // Eight bytes to spare past the last text, which keys read whole. (The buffer's capacity
        // grows by doubling, its bytes only as far as they are needed.)
        const size_t room = used_ + foldedRoom(text.size(), limit) + 8;
        if (folded_.size() < room)
            folded_.resize(room);
        const size_t length = foldUtf8(text, folded_.data() + used_, limit);
        begins_[index] = used_;
        ends_[index] = used_ + length;
        used_ += length;
        return length;
    }

    // Folds the whole text where bytes offset to offset + 8 are asked for past what is folded.
    void foldTo(uint32_t index, size_t offset)
    {
        if (cut_[index] && ends_[index] - begins_[index] < offset + 8) {
            append(index, texts_.text(rows_[index] & ~kWholeTextFlag), SIZE_MAX);
            cut_[index] = false;
        }
    }

    size_t begin(uint32_t index) const { return begins_[index]; }
    // A text folded only in part is longer than any offset that asks.
    size_t length(uint32_t index) const { return cut_[index] ? SIZE_MAX : ends_[index] - begins_[index]; }

    // Eight folded bytes from offset, big-endian, zero past the end, inverted when descending.
    uint64_t key(uint32_t index, size_t offset) const
    {
        const size_t from = begins_[index] + offset;
        const size_t end = ends_[index];
        if (from >= end)
            return flip_;
        uint64_t eight;
        std::memcpy(&eight, folded_.data() + from, sizeof eight);
        eight = __builtin_bswap64(eight);
        if (end - from < 8)
            eight &= ~uint64_t{0} << (8 * (8 - (end - from)));
        return eight ^ flip_;
    }

    // Entries (index in the run, in order so far) whose folded texts agree before offset.
    void sortFrom(KeyedRow* first, KeyedRow* last, size_t offset)
    {
        for (KeyedRow* e = first; e != last; ++e) {
            foldTo(e->row, offset);
            e->key = key(e->row, offset);
        }
        sortByKey(first, last, scratch_.data() + (first - run_));
        for (KeyedRow* group = first; group != last;) {
            KeyedRow* end = group + 1;
            while (end != last && end->key == group->key)
                ++end;
            if (end - group > 1)
                sortTied(group, end, offset);
            group = end;
        }
    }

    // Entries whose folded texts agree up to offset + 8, or to the end of the shorter.
    void sortTied(KeyedRow* first, KeyedRow* last, size_t offset)
    {
        bool longer = false;
        bool sameLength = true;
        const size_t firstLength = length(first->row);
        for (const KeyedRow* e = first; e != last; ++e) {
            const size_t l = length(e->row);
            longer = longer || l > offset + 8;
            sameLength = sameLength && l == firstLength;
        }
        if (longer) {
            sortFrom(first, last, offset + 8);
        } else if (!sameLength) {
            // The texts differ only in zero bytes at their ends: the shorter is the smaller.
            std::stable_sort(first, last, [this](const KeyedRow& a, const KeyedRow& b) {
                return flip_ ? length(a.row) > length(b.row) : length(a.row) < length(b.row);
            });
        }
    }

    const TextColumn& texts_;
    const uint64_t flip_;
    std::vector<char> folded_;  // only ever grows: its bytes are written before they are read
    std::vector<std::string_view> views_;
    size_t used_ = 0;
    std::vector<size_t> begins_;  // by index in the run: where its folded text is
    std::vector<size_t> ends_;
    std::vector<char> cut_;  // its text is folded only in part
    const KeyedRow* run_ = nullptr;  // the first entry of the run being sorted
    std::vector<KeyedRow> scratch_;
    std::vector<uint32_t> rows_;
};

void keyTexts(const uint32_t* rows, KeyedRow* entries, size_t from, size_t to, const TextColumn& texts, bool descending)
{
    for (size_t i = from; i < to; ++i) {
        bool wholeText = false;
        const uint64_t key = foldedKey(texts.text(rows[i]), wholeText);
        entries[i] = {descending ? ~key : key, wholeText ? rows[i] | kWholeTextFlag : rows[i]};
    }
}

// Sorts the runs of entries that agree on their keys, within [from, to) (which cuts no run).
void sortTiedRuns(KeyedRow* entries, size_t from, size_t to, const TextColumn& texts, bool descending)
{
    RunSorter sorter(texts, descending);
    for (size_t run = from; run < to;) {
        size_t end = run + 1;
        bool wholeText = (entries[run].row & kWholeTextFlag) != 0;
        for (; end < to && entries[end].key == entries[run].key; ++end)
            wholeText = wholeText || (entries[end].row & kWholeTextFlag) != 0;
        if (end - run > 1 && wholeText)
            sorter.sort(entries + run, entries + end, to - end);
        run = end;
    }
}

}  // namespace

// Radix passes on the first eight folded bytes, then each run that agrees on them sorted on the
// whole texts. Equal texts end up in their order so far, which keeps the sort stable. The keys
// are had and the runs sorted on two threads, each taking half.
void sortByFoldedText(const TableData& table, int column, bool descending, std::span<uint32_t> rows)
{
    const TextColumn texts{table.column(column)};
    const size_t count = rows.size();
    KeyedRows entries = keyedRows(count);
    const auto keyed = [&](size_t from, size_t to) { keyTexts(rows.data(), entries.get(), from, to, texts, descending); };
    onTwoThreads(count / 2, count, keyed);
    KeyedRows scratch = keyedRows(radixScratchRows(count));
    radixSort(entries.get(), scratch.get(), count, true);
    scratch.reset();
    KeyedRow* const all = entries.get();
    size_t split = count / 2;  // moved on to where a run starts
    while (split > 0 && split < count && all[split].key == all[split - 1].key)
        ++split;
    const auto sorted = [&](size_t from, size_t to) { sortTiedRuns(all, from, to, texts, descending); };
    onTwoThreads(split, count, sorted);
    for (size_t i = 0; i < count; ++i)
        rows[i] = rowOf(all[i]);
}

}  // namespace varnex
