#pragma once
// One stored cell of a TableData as a value or as its text.

#include "platform/data/TableData.h"
#include "platform/data/Utf8CellText.h"
#include "platform/data/Variant.h"

#include <QString>

#include <string>

namespace varnex {

Variant CellValue(const TableData& table, int64_t row, int column);
QString CellText(const TableData& table, int64_t row, int column);
// The same text as CellText, as UTF-8, written directly; `text` holds the
// locale's formats, resolved once for many cells.
void AppendCellTextUtf8(const TableData& table, int64_t row, int column, const Utf8CellText& text, std::string& out);
void AppendCellTextUtf8(const TableData& table, int64_t row, int column, std::string& out);

DecimalValue StoredDecimal(const uint8_t* stored, uint8_t scale);

}  // namespace varnex
