#pragma once
// One stored cell of a TableData as a value or as its text.

#include "data/TableData.h"
#include "data/Utf8CellText.h"
#include "data/Variant.h"

#include <QString>

#include <string>

namespace varnex {

Variant storedValue(const TableData& table, int64_t row, int column);
QString storedText(const TableData& table, int64_t row, int column);
// The same text as storedText, as UTF-8, written directly; `text` holds the
// locale's formats, resolved once for many cells.
void appendStoredTextUtf8(const TableData& table, int64_t row, int column, const Utf8CellText& text, std::string& out);
void appendStoredTextUtf8(const TableData& table, int64_t row, int column, std::string& out);

DecimalValue storedDecimal(const uint8_t* stored, uint8_t scale);
// A value of a fixed-width type as TableData keeps it; scale: Decimal's.
Variant fixedStoredValue(int16_t type, uint8_t scale, const uint8_t* stored);

}  // namespace varnex
