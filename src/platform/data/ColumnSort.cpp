#include "platform/data/ColumnSort.h"

#include "platform/data/CellValue.h"
#include "platform/data/DataTypes.h"
#include "platform/data/TextOrder.h"

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
T Load(const uint8_t* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

uint64_t SignedKey(int64_t value)
{
    return static_cast<uint64_t>(value) ^ (uint64_t{1} << 63);
}

// IEEE bits reordered so that unsigned order is numeric order.
uint64_t RealKey(double value)
{
    if (value == 0)
        value = 0;  // -0 sorts with +0
    const auto bits = std::bit_cast<uint64_t>(value);
    return (bits >> 63) ? ~bits : bits | (uint64_t{1} << 63);
}

bool HasNumericKey(int16_t type)
{
    return FixedWidth(type) > 0 && FixedWidth(type) <= 8;
}

uint64_t NumericKey(int16_t type, const uint8_t* at)
{
    switch (type) {
    case adType::UnsignedTinyInt: return at[0];
    case adType::Boolean: return at[0] ? 0 : 1;  // True is -1, below False (0)
    case adType::SmallInt: return SignedKey(Load<int16_t>(at));
    case adType::Integer: return SignedKey(Load<int32_t>(at));
    case adType::BigInt:
    case adType::Currency: return SignedKey(Load<int64_t>(at));
    case adType::Single: return RealKey(Load<float>(at));
    default: return RealKey(Load<double>(at));
    }
}

// Stable least-significant-digit radix sort on 16-bit digits, skipping digits all rows share.
void RadixSort(std::vector<KeyedRow>& rows)
{
    std::vector<KeyedRow> scratch(rows.size());
    for (int shift = 0; shift < 64; shift += 16) {
        std::array<size_t, 65536> counts{};
        for (const KeyedRow& r : rows)
            ++counts[(r.key >> shift) & 0xFFFF];
        if (std::any_of(counts.begin(), counts.end(), [&](size_t n) { return n == rows.size(); }))
            continue;
        size_t total = 0;
        for (size_t& n : counts)
            total += std::exchange(n, total);
        for (const KeyedRow& r : rows)
            scratch[counts[(r.key >> shift) & 0xFFFF]++] = r;
        rows.swap(scratch);
    }
}

void SortNumeric(const TableData& table, const SortKey& key, std::vector<uint32_t>& rows)
{
    const int16_t type = table.info(key.column).type;
    std::vector<KeyedRow> keyed(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const uint64_t k = NumericKey(type, table.fixedValue(rows[i], key.column));
        keyed[i] = {key.descending ? ~k : k, rows[i]};
    }
    RadixSort(keyed);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].row;
}

int CompareDecimal(const DecimalValue& a, const DecimalValue& b)
{
    const bool aNegative = a.negative && a.mantissa != 0;
    const bool bNegative = b.negative && b.mantissa != 0;
    if (aNegative != bNegative)
        return aNegative ? -1 : 1;
    const int magnitude = a.mantissa < b.mantissa ? -1 : a.mantissa > b.mantissa ? 1 : 0;
    return aNegative ? -magnitude : magnitude;
}

template <class Compare>
void StableSortBy(std::vector<uint32_t>& rows, bool descending, Compare compare)
{
    std::stable_sort(rows.begin(), rows.end(), [&](uint32_t a, uint32_t b) {
        const int c = compare(a, b);
        return descending ? c > 0 : c < 0;
    });
}

// Text: a folded eight-byte prefix decides most comparisons; ties fall back to the whole text
// and then to the earlier position, which keeps the sort stable.
void SortText(const TableData& table, const SortKey& key, std::vector<uint32_t>& rows)
{
    const int column = key.column;
    if (!CollationIsCodePoint()) {
        StableSortBy(rows, key.descending, [&](uint32_t a, uint32_t b) {
            return CompareCollated(table.bytesValue(a, column), table.bytesValue(b, column));
        });
        return;
    }
    struct Entry {
        uint64_t prefix;
        uint32_t row;
        uint32_t position;
    };
    std::vector<Entry> entries(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        entries[i] = {FoldedPrefix(table.bytesValue(rows[i], column)), rows[i], static_cast<uint32_t>(i)};
    const bool descending = key.descending;
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        int c = a.prefix < b.prefix ? -1 : a.prefix > b.prefix ? 1 : 0;
        if (c == 0)
            c = CompareFolded(table.bytesValue(a.row, column), table.bytesValue(b.row, column));
        if (c != 0)
            return descending ? c > 0 : c < 0;
        return a.position < b.position;
    });
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = entries[i].row;
}

void SortBytes(const TableData& table, const SortKey& key, std::vector<uint32_t>& rows)
{
    StableSortBy(rows, key.descending, [&](uint32_t a, uint32_t b) {
        const std::string_view x = table.bytesValue(a, key.column);
        const std::string_view y = table.bytesValue(b, key.column);
        return x.compare(y);
    });
}

void SortValues(const TableData& table, const SortKey& key, std::vector<uint32_t>& rows)
{
    const int16_t type = table.info(key.column).type;
    if (type == adType::VarWChar || type == adType::LongVarWChar)
        SortText(table, key, rows);
    else if (IsVariableLength(type))
        SortBytes(table, key, rows);
    else if (HasNumericKey(type))
        SortNumeric(table, key, rows);
    else if (type == adType::Numeric)
        StableSortBy(rows, key.descending, [&](uint32_t a, uint32_t b) {
            return CompareDecimal(StoredDecimal(table.fixedValue(a, key.column), 0),
                                  StoredDecimal(table.fixedValue(b, key.column), 0));
        });
    else if (type == adType::GUID)
        StableSortBy(rows, key.descending, [&](uint32_t a, uint32_t b) {
            return std::memcmp(table.fixedValue(a, key.column), table.fixedValue(b, key.column), 16);
        });
}

}  // namespace

void SortByColumn(const TableData& table, const SortKey& key, std::vector<uint32_t>& order)
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
    SortValues(table, key, values);
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
