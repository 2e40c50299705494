#pragma once
// The text of a cell holding a list of values (multi-value and attachment columns): each value's
// text by the rules of its type, joined by "; " in stored order.

#include "store/TableData.h"

#include <QString>

#include <cstdint>
#include <string>

namespace varnex {

class ValueFormatter;

// The cell must be of a list column (ColumnInfo::listOf) and not Null.
QString valueListText(const TableData& table, int64_t row, int column);
// The same text as UTF-8, appended to out, in the formatter's locale.
void appendValueListText(const TableData& table, int64_t row, int column, const ValueFormatter& formatter,
                         std::string& out);

}  // namespace varnex
