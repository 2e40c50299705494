#include "data/ColumnSort.h"

#include "RadixSort.h"
#include "TextSort.h"
#include "data/CellValue.h"
#include "store/FieldTypes.h"
#include "data/TextOrder.h"
#include "data/ValueFormatter.h"
#include "data/ValueListText.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace varnex {
namespace {

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

void sortNumeric(const TableData& table, const SortKey& key, std::span<uint32_t> rows)
{
    const FieldType type = table.info(key.column).type;
    const KeyedRows keyed = keyedRows(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const uint64_t k = type == FieldType::Date      ? realKey(table.dateValue(rows[i], key.column))
                           : type == FieldType::Integer ? signedKey(table.integerValue(rows[i], key.column))
                                                        : NumericKey(type, table.fixedValue(rows[i], key.column));
        keyed[i] = {key.descending ? ~k : k, rows[i]};
    }
    const KeyedRows scratch = keyedRows(radixScratchRows(rows.size()));
    radixSort(keyed.get(), scratch.get(), rows.size(), false);
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

void sortText(const TableData& table, const SortKey& key, std::span<uint32_t> rows)
{
    const int column = key.column;
    if (collationIsCodePoint()) {
        sortByFoldedText(table, column, key.descending, rows);
        return;
    }
    stableSortBy(rows, key.descending, [&](uint32_t a, uint32_t b) {
        return compareCollated(table.bytesValue(a, column), table.bytesValue(b, column));
    });
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
    const bool unread = table.info(key.column).type == FieldType::Unsupported;
    for (const uint32_t row : order) {
        if (unread || table.isNull(row, key.column))
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
