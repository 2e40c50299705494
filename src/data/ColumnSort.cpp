#include "data/ColumnSort.h"

#include "data/CellValue.h"
#include "store/FieldTypes.h"
#include "data/TextOrder.h"
#include "data/ValueFormatter.h"
#include "data/ValueListText.h"

#include <span>
#include <string>
#include <string_view>

#include <algorithm>
#include <array>
#include <bit>
#include <system_error>
#include <thread>
#include <utility>
#include <cstring>

namespace varnex {
namespace {

// A row to sort and its key. Packed: a sort holds two of these per row (the radix passes' own).
struct [[gnu::packed]] KeyedRow {
    uint64_t key;
    uint32_t row;
};

uint64_t signedKey(int64_t value)
{
    return static_cast<uint64_t>(value) ^ (uint64_t{1} << 63);
}

// IEEE bits reordered so that unsigned order is numeric order.
uint64_t realKey(double value)
{
    if (value == 0)
        value = 0;  // -0 sorts with +0
    const auto bits = std::bit_cast<uint64_t>(value);
    return (bits >> 63) ? ~bits : bits | (uint64_t{1} << 63);
}

bool hasNumericKey(FieldType type)
{
    return fixedWidth(type) > 0 && fixedWidth(type) <= 8;
}

uint64_t NumericKey(FieldType type, const uint8_t* at)
{
    switch (type) {
    case FieldType::UnsignedTinyInt: return at[0];
    case FieldType::Boolean: return at[0] ? 0 : 1;  // True is -1, below False (0)
    case FieldType::SmallInt: return signedKey(storedAs<int16_t>(at));
    case FieldType::BigInt:
    case FieldType::Currency:
    case FieldType::DBTimeStamp: return signedKey(storedAs<int64_t>(at));
    case FieldType::Single: return realKey(storedAs<float>(at));
    default: return realKey(storedAs<double>(at));
    }
}

// Stable least-significant-digit radix sort on 16-bit digits, skipping digits all rows share
// and the whole sort when the rows are already in order.
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

void sortNumeric(const TableData& table, const SortKey& key, std::span<uint32_t> rows)
{
    const FieldType type = table.info(key.column).type;
    std::vector<KeyedRow> keyed(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const uint64_t k = type == FieldType::Date      ? realKey(table.dateValue(rows[i], key.column))
                           : type == FieldType::Integer ? signedKey(table.integerValue(rows[i], key.column))
                                                        : NumericKey(type, table.fixedValue(rows[i], key.column));
        keyed[i] = {key.descending ? ~k : k, rows[i]};
    }
    radixSort(keyed);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].row;
}

// The magnitudes compared at the larger scale; one that would not fit there is the larger.
int compareMagnitude(const DecimalValue& a, const DecimalValue& b)
{
    const bool aFewerPlaces = a.scale < b.scale;
    UInt128 fewer = aFewerPlaces ? a.mantissa : b.mantissa;
    const UInt128 more = aFewerPlaces ? b.mantissa : a.mantissa;
    const int sign = aFewerPlaces ? 1 : -1;  // of "the one with fewer places is larger"
    constexpr UInt128 kMost = ~UInt128{0};
    for (int places = std::abs(a.scale - b.scale); places > 0; --places) {
        if (fewer > kMost / 10)
            return sign;
        fewer *= 10;
    }
    return fewer > more ? sign : fewer < more ? -sign : 0;
}

int compareDecimal(const DecimalValue& a, const DecimalValue& b)
{
    const bool aNegative = a.negative && a.mantissa != 0;
    const bool bNegative = b.negative && b.mantissa != 0;
    if (aNegative != bNegative)
        return aNegative ? -1 : 1;
    const int magnitude = compareMagnitude(a, b);
    return aNegative ? -magnitude : magnitude;
}

template <class Compare>
void stableSortBy(std::span<uint32_t> rows, bool descending, Compare compare)
{
    std::stable_sort(rows.begin(), rows.end(), [&](uint32_t a, uint32_t b) {
        const int c = compare(a, b);
        return descending ? c > 0 : c < 0;
    });
}

constexpr uint32_t kLongerFlag = 0x80000000u;  // in a text row's position: its folded text goes on past the key

struct TextColumn {
    const TableData& table;
    int column;
    std::span<const uint32_t> rows;

    std::string_view text(uint32_t position) const { return table.bytesValue(rows[position & ~kLongerFlag], column); }
    // Texts read in an order other than the rows' are asked for ahead: where the row is, where
    // its text is, then the text.
    void prefetch(const KeyedRow* entries, size_t i, size_t count) const
    {
        if (i + 16 < count)
            __builtin_prefetch(&rows[entries[i + 16].row & ~kLongerFlag]);
        if (i + 8 < count)
            table.prefetch(rows[entries[i + 8].row & ~kLongerFlag], column, false);
        if (i + 4 < count)
            table.prefetch(rows[entries[i + 4].row & ~kLongerFlag], column, true);
    }
};

// The first eight bytes of the folded text, big-endian and zero past its end: unsigned order is
// the order of those bytes. ASCII texts are folded here eight bytes at once.
uint64_t foldedKey(std::string_view text, bool& longer, std::string& scratch)
{
    uint64_t eight = 0;
    std::memcpy(&eight, text.data(), std::min<size_t>(text.size(), sizeof eight));
    if ((eight & 0x8080808080808080ull) == 0) {
        longer = text.size() > 8;
        return __builtin_bswap64(foldedAsciiEight(eight));
    }
    scratch.clear();
    appendFoldedUtf8(text, scratch, 9);
    uint64_t key = 0;
    for (size_t k = 0; k < 8; ++k)
        key = (key << 8) | (k < scratch.size() ? static_cast<uint8_t>(scratch[k]) : 0u);
    longer = scratch.size() > 8;
    return key;
}

// Folded texts back to back, by index in a run of entries.
class FoldedTexts {
public:
    // ahead: entries after the run, whose texts are asked for already (the next runs').
    FoldedTexts(const TextColumn& texts, const KeyedRow* first, size_t count, size_t ahead) : ends_(count)
    {
        for (size_t i = 0; i < count; ++i) {
            texts.prefetch(first, i, count + ahead);
            appendFoldedUtf8(texts.text(first[i].row), text_);
            ends_[i] = text_.size();
        }
    }

    size_t length(uint32_t index) const { return ends_[index] - begin(index); }

    // Eight bytes from offset, big-endian, zero past the end: equal keys mean equal bytes so far.
    uint64_t key(uint32_t index, size_t offset) const
    {
        const size_t from = begin(index) + offset;
        const size_t to = ends_[index];
        if (from + 8 <= to) {
            uint64_t eight;
            std::memcpy(&eight, text_.data() + from, sizeof eight);
            return __builtin_bswap64(eight);
        }
        uint64_t key = 0;
        for (size_t k = 0; k < 8; ++k)
            key = (key << 8) | (from + k < to ? static_cast<uint8_t>(text_[from + k]) : 0u);
        return key;
    }

private:
    size_t begin(uint32_t index) const { return index == 0 ? 0 : ends_[index - 1]; }

    std::string text_;
    std::vector<size_t> ends_;
};

struct RunEntry {
    uint64_t key;
    uint32_t index;  // in the run, which is in position order
};

// The next eight bytes first; entries that agree so far are sorted on the eight after.
void sortRunFrom(RunEntry* first, RunEntry* last, size_t offset, const FoldedTexts& texts, bool descending)
{
    for (RunEntry* e = first; e != last; ++e)
        e->key = texts.key(e->index, offset);
    std::sort(first, last, [descending](const RunEntry& a, const RunEntry& b) {
        if (a.key != b.key)
            return descending ? a.key > b.key : a.key < b.key;
        return a.index < b.index;
    });
    for (RunEntry* run = first; run != last;) {
        RunEntry* end = run + 1;
        bool longer = texts.length(run->index) > offset + 8;
        for (; end != last && end->key == run->key; ++end)
            longer = longer || texts.length(end->index) > offset + 8;
        if (end - run > 1 && longer)
            sortRunFrom(run, end, offset + 8, texts, descending);
        run = end;
    }
}

// Entries whose keys agree and one of whose texts goes on, sorted on the rest of their folded
// texts, folded for the run alone: no folded copy of the whole column is ever held.
void sortTiedRun(KeyedRow* first, KeyedRow* last, size_t ahead, const TextColumn& texts, bool descending)
{
    const auto count = static_cast<size_t>(last - first);  // in position order, their keys being equal
    const FoldedTexts folded(texts, first, count, ahead);
    std::vector<RunEntry> run(count);
    for (size_t i = 0; i < count; ++i)
        run[i].index = static_cast<uint32_t>(i);
    sortRunFrom(run.data(), run.data() + count, 8, folded, descending);
    std::vector<uint32_t> positions(count);
    for (size_t i = 0; i < count; ++i)
        positions[i] = first[run[i].index].row;
    for (size_t i = 0; i < count; ++i)
        first[i].row = positions[i];
}

// Radix passes on the first eight folded bytes, then each run that agrees on them sorted on the
// whole texts. Equal texts end up by position, which keeps the sort stable.
// Runs f on [0, split) and [split, count) at once, the second on a thread of its own where one
// can be had (else after the first).
template <class F>
void onTwoThreads(size_t split, size_t count, const F& f)
{
    std::thread second;
    try {
        second = std::thread([&] { f(split, count); });
    } catch (const std::system_error&) {
    }
    f(size_t{0}, split);
    if (second.joinable())
        second.join();
    else
        f(split, count);
}

void keyTexts(KeyedRow* entries, size_t from, size_t to, const TextColumn& texts, bool descending)
{
    std::string scratch;
    for (size_t i = from; i < to; ++i) {
        bool longer = false;
        const uint64_t key = foldedKey(texts.text(entries[i].row), longer, scratch);
        entries[i].key = descending ? ~key : key;
        if (longer)
            entries[i].row |= kLongerFlag;
    }
}

// Sorts the runs of entries that agree on their keys, within [from, to) (which cuts no run).
void sortTiedRuns(KeyedRow* entries, size_t from, size_t to, const TextColumn& texts, bool descending)
{
    for (size_t run = from; run < to;) {
        size_t end = run + 1;
        bool longer = (entries[run].row & kLongerFlag) != 0;
        for (; end < to && entries[end].key == entries[run].key; ++end)
            longer = longer || (entries[end].row & kLongerFlag) != 0;
        if (end - run > 1 && longer)
            sortTiedRun(entries + run, entries + end, to - end, texts, descending);
        run = end;
    }
}

// Radix passes on the first eight folded bytes, then each run that agrees on them sorted on the
// whole texts. Equal texts end up by position, which keeps the sort stable. The keys are had
// and the runs sorted on two threads, each taking half.
void sortTextEntries(std::vector<KeyedRow>& entries, const TextColumn& texts, bool descending)
{
    const size_t count = entries.size();
    const auto keyed = [&](size_t from, size_t to) { keyTexts(entries.data(), from, to, texts, descending); };
    onTwoThreads(count / 2, count, keyed);
    radixSort(entries);  // into other memory, maybe
    KeyedRow* const all = entries.data();
    size_t split = count / 2;  // moved on to where a run starts
    while (split > 0 && split < count && all[split].key == all[split - 1].key)
        ++split;
    const auto sorted = [&](size_t from, size_t to) { sortTiedRuns(all, from, to, texts, descending); };
    onTwoThreads(split, count, sorted);
}

void sortText(const TableData& table, const SortKey& key, std::span<uint32_t> rows)
{
    const int column = key.column;
    if (!collationIsCodePoint()) {
        stableSortBy(rows, key.descending, [&](uint32_t a, uint32_t b) {
            return compareCollated(table.bytesValue(a, column), table.bytesValue(b, column));
        });
        return;
    }
    std::vector<KeyedRow> entries(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        entries[i].row = static_cast<uint32_t>(i);
    const TextColumn texts{table, column, rows};
    sortTextEntries(entries, texts, key.descending);
    for (KeyedRow& entry : entries)
        entry.row = rows[entry.row & ~kLongerFlag];
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = entries[i].row;
}

void sortBytes(const TableData& table, const SortKey& key, std::span<uint32_t> rows)
{
    stableSortBy(rows, key.descending, [&](uint32_t a, uint32_t b) {
        const std::string_view x = table.bytesValue(a, key.column);
        const std::string_view y = table.bytesValue(b, key.column);
        return x.compare(y);
    });
}

// Lists of values sort by the text they show.
void sortListTexts(const TableData& table, const SortKey& key, std::span<uint32_t> rows)
{
    std::vector<std::string> texts(rows.size());
    std::vector<uint32_t> positions(rows.size());
    const std::shared_ptr<const ValueFormatter> formatter = ValueFormatter::forDefaultLocale();
    for (size_t i = 0; i < rows.size(); ++i) {
        appendValueListText(table, rows[i], key.column, *formatter, texts[i]);
        positions[i] = static_cast<uint32_t>(i);
    }
    stableSortBy(positions, key.descending, [&](uint32_t a, uint32_t b) { return compareCollated(texts[a], texts[b]); });
    std::vector<uint32_t> sorted(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        sorted[i] = rows[positions[i]];
    std::copy(sorted.begin(), sorted.end(), rows.begin());
}

void sortValues(const TableData& table, const SortKey& key, std::span<uint32_t> rows)
{
    const FieldType type = table.info(key.column).type;
    if (table.info(key.column).isList())
        sortListTexts(table, key, rows);
    else if (type == FieldType::VarWChar || type == FieldType::LongVarWChar)
        sortText(table, key, rows);
    else if (isVariableLength(type))
        sortBytes(table, key, rows);
    else if (hasNumericKey(type))
        sortNumeric(table, key, rows);
    else if (type == FieldType::Numeric)
        stableSortBy(rows, key.descending, [&](uint32_t a, uint32_t b) {
            const uint8_t scale = table.info(key.column).scale;
            return compareDecimal(storedDecimal(table.fixedValue(a, key.column), scale),
                                  storedDecimal(table.fixedValue(b, key.column), scale));
        });
    else if (type == FieldType::GUID)
        stableSortBy(rows, key.descending, [&](uint32_t a, uint32_t b) {
            return std::memcmp(table.fixedValue(a, key.column), table.fixedValue(b, key.column), 16);
        });
}

}  // namespace

void sortByColumn(const TableData& table, const SortKey& key, std::vector<uint32_t>& order)
{
    // The rows with a value move up in order, keeping theirs; the Null ones wait aside.
    std::vector<uint32_t> nulls;
    size_t valued = 0;
    for (const uint32_t row : order) {
        if (table.info(key.column).type == FieldType::Unsupported || table.isNull(row, key.column))
            nulls.push_back(row);
        else
            order[valued++] = row;
    }
    sortValues(table, key, std::span<uint32_t>(order.data(), valued));
    if (key.descending) {
        std::copy(nulls.begin(), nulls.end(), order.begin() + static_cast<std::ptrdiff_t>(valued));
    } else {
        std::move_backward(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(valued), order.end());
        std::copy(nulls.begin(), nulls.end(), order.begin());
    }
}

}  // namespace varnex
