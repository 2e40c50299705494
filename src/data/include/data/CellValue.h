#pragma once
// One stored cell of a TableData as a value or as its text.

#include "store/TableData.h"
#include "data/ValueFormatter.h"
#include "store/Variant.h"

#include <cstring>
#include <string>

namespace varnex {

Variant storedValue(const TableData& table, int64_t row, int column);
// The cell's value text, as UTF-8, written from the stored bytes without building a Variant.
void appendStoredText(const TableData& table, int64_t row, int column, const ValueFormatter& formatter,
                      std::string& out);

// A fixed-width value as TableData keeps it, at any alignment.
template <class T>
T storedAs(const uint8_t* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// What a value of a type not read shows in the grid in place of its text: "(unsupported type 0x46,
// 12 bytes)"; empty for a Null and for every other column.
QString unreadValueText(const TableData& table, int64_t row, int column);

// scale: the column's, for a value that does not carry its own.
DecimalValue storedDecimal(const uint8_t* stored, uint8_t scale);
// A value of a fixed-width type as TableData keeps it; scale: Decimal's.
Variant fixedStoredValue(FieldType type, uint8_t scale, const uint8_t* stored);

}  // namespace varnex
