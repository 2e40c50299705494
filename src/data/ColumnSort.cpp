#include "data/ColumnSort.h"

#include "data/CellValue.h"
#include "data/FieldTypes.h"
#include "data/TextOrder.h"
#include "data/ValueListText.h"

#include <string>
#include <string_view>

#include <algorithm>
#include <array>
#include <bit>
#include <utility>
#include <cstring>

namespace varnex {
namespace {

struct KeyedRow {
    uint64_t key;
    uint32_t row;
};

template <class T>
T load(const uint8_t* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

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

bool hasNumericKey(int16_t type)
{
    return fixedWidth(type) > 0 && fixedWidth(type) <= 8;
}

uint64_t NumericKey(int16_t type, const uint8_t* at)
{
    switch (type) {
    case fieldtype::UnsignedTinyInt: return at[0];
    case fieldtype::Boolean: return at[0] ? 0 : 1;  // True is -1, below False (0)
    case fieldtype::SmallInt: return signedKey(load<int16_t>(at));
    case fieldtype::Integer: return signedKey(load<int32_t>(at));
    case fieldtype::BigInt:
    case fieldtype::Currency:
    case fieldtype::DBTimeStamp: return signedKey(load<int64_t>(at));
    case fieldtype::Single: return realKey(load<float>(at));
    default: return realKey(load<double>(at));
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

void sortNumeric(const TableData& table, const SortKey& key, std::vector<uint32_t>& rows)
{
    const int16_t type = table.info(key.column).type;
    std::vector<KeyedRow> keyed(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const uint64_t k = NumericKey(type, table.fixedValue(rows[i], key.column));
        keyed[i] = {key.descending ? ~k : k, rows[i]};
    }
    radixSort(keyed);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].row;
}

int compareDecimal(const DecimalValue& a, const DecimalValue& b)
{
    const bool aNegative = a.negative && a.mantissa != 0;
    const bool bNegative = b.negative && b.mantissa != 0;
    if (aNegative != bNegative)
        return aNegative ? -1 : 1;
    const int magnitude = a.mantissa < b.mantissa ? -1 : a.mantissa > b.mantissa ? 1 : 0;
    return aNegative ? -magnitude : magnitude;
}

template <class Compare>
void stableSortBy(std::vector<uint32_t>& rows, bool descending, Compare compare)
{
    std::stable_sort(rows.begin(), rows.end(), [&](uint32_t a, uint32_t b) {
        const int c = compare(a, b);
        return descending ? c > 0 : c < 0;
    });
}

// Folded texts back to back, by position in the rows being sorted.
class FoldedTexts {
public:
    FoldedTexts(const TableData& table, int column, const std::vector<uint32_t>& rows) : ends_(rows.size())
    {
        text_.reserve(table.column(column).bytes.size() + rows.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            appendFoldedUtf8(table.bytesValue(rows[i], column), text_);
            ends_[i] = text_.size();
        }
    }

    size_t length(uint32_t position) const { return ends_[position] - begin(position); }

    // Eight bytes from offset, big-endian, zero past the end: equal keys mean equal bytes so far.
    uint64_t key(uint32_t position, size_t offset) const
    {
        const size_t from = begin(position) + offset;
        const size_t to = ends_[position];
        uint64_t key = 0;
        for (size_t k = 0; k < 8; ++k)
            key = (key << 8) | (from + k < to ? static_cast<uint8_t>(text_[from + k]) : 0u);
        return key;
    }

private:
    size_t begin(uint32_t position) const { return position == 0 ? 0 : ends_[position - 1]; }

    std::string text_;
    std::vector<size_t> ends_;
};

struct TextEntry {
    uint64_t key;
    uint32_t position;
};

// Most significant eight bytes first; runs that agree so far are sorted on the next eight.
// Equal texts end up by position, which keeps the sort stable.
void sortTextRun(TextEntry* first, TextEntry* last, size_t offset, const FoldedTexts& texts, bool descending)
{
    for (TextEntry* e = first; e != last; ++e)
        e->key = texts.key(e->position, offset);
    std::sort(first, last, [descending](const TextEntry& a, const TextEntry& b) {
        if (a.key != b.key)
            return descending ? a.key > b.key : a.key < b.key;
        return a.position < b.position;
    });
    for (TextEntry* run = first; run != last;) {
        TextEntry* end = run + 1;
        bool longer = texts.length(run->position) > offset + 8;
        for (; end != last && end->key == run->key; ++end)
            longer = longer || texts.length(end->position) > offset + 8;
        if (end - run > 1 && longer)
            sortTextRun(run, end, offset + 8, texts, descending);
        run = end;
    }
}

void sortText(const TableData& table, const SortKey& key, std::vector<uint32_t>& rows)
{
    const int column = key.column;
    if (!collationIsCodePoint()) {
        stableSortBy(rows, key.descending, [&](uint32_t a, uint32_t b) {
            return compareCollated(table.bytesValue(a, column), table.bytesValue(b, column));
        });
        return;
    }
    const FoldedTexts texts(table, column, rows);
    std::vector<TextEntry> entries(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        entries[i].position = static_cast<uint32_t>(i);
    sortTextRun(entries.data(), entries.data() + entries.size(), 0, texts, key.descending);
    std::vector<uint32_t> sorted(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        sorted[i] = rows[entries[i].position];
    rows.swap(sorted);
}

void sortBytes(const TableData& table, const SortKey& key, std::vector<uint32_t>& rows)
{
    stableSortBy(rows, key.descending, [&](uint32_t a, uint32_t b) {
        const std::string_view x = table.bytesValue(a, key.column);
        const std::string_view y = table.bytesValue(b, key.column);
        return x.compare(y);
    });
}

// Lists of values sort by the text they show.
void sortListTexts(const TableData& table, const SortKey& key, std::vector<uint32_t>& rows)
{
    std::vector<std::string> texts(rows.size());
    std::vector<uint32_t> positions(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        texts[i] = valueListText(table, rows[i], key.column).toStdString();
        positions[i] = static_cast<uint32_t>(i);
    }
    stableSortBy(positions, key.descending, [&](uint32_t a, uint32_t b) { return compareCollated(texts[a], texts[b]); });
    std::vector<uint32_t> sorted(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        sorted[i] = rows[positions[i]];
    rows.swap(sorted);
}

void sortValues(const TableData& table, const SortKey& key, std::vector<uint32_t>& rows)
{
    const int16_t type = table.info(key.column).type;
    if (table.info(key.column).listOf != 0)
        sortListTexts(table, key, rows);
    else if (type == fieldtype::VarWChar || type == fieldtype::LongVarWChar)
        sortText(table, key, rows);
    else if (isVariableLength(type))
        sortBytes(table, key, rows);
    else if (hasNumericKey(type))
        sortNumeric(table, key, rows);
    else if (type == fieldtype::Numeric)
        stableSortBy(rows, key.descending, [&](uint32_t a, uint32_t b) {
            return compareDecimal(storedDecimal(table.fixedValue(a, key.column), 0),
                                  storedDecimal(table.fixedValue(b, key.column), 0));
        });
    else if (type == fieldtype::GUID)
        stableSortBy(rows, key.descending, [&](uint32_t a, uint32_t b) {
            return std::memcmp(table.fixedValue(a, key.column), table.fixedValue(b, key.column), 16);
        });
}

}  // namespace

void sortByColumn(const TableData& table, const SortKey& key, std::vector<uint32_t>& order)
{
    std::vector<uint32_t> nulls;
    std::vector<uint32_t> values;
    values.reserve(order.size());
    for (uint32_t row : order) {
        if (table.info(key.column).type == 0 || table.isNull(row, key.column))
            nulls.push_back(row);
        else
            values.push_back(row);
    }
    sortValues(table, key, values);
    auto out = order.begin();
    if (key.descending) {
        out = std::copy(values.begin(), values.end(), out);
        std::copy(nulls.begin(), nulls.end(), out);
    } else {
        out = std::copy(nulls.begin(), nulls.end(), out);
        std::copy(values.begin(), values.end(), out);
    }
}

}  // namespace varnex
