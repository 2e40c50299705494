#include "data/ValueListText.h"

#include "data/CellValue.h"
#include "store/FieldTypes.h"
#include "data/ValueFormatter.h"
#include "store/ValueList.h"

#include <string>

namespace varnex {
namespace {

void appendListedValue(const ColumnInfo& info, std::string_view value, const ValueFormatter& formatter,
                       std::string& out)
{
    if (info.listOf == FieldType::VarWChar || info.listOf == FieldType::LongVarWChar)
        out.append(value);
    else if (isVariableLength(info.listOf))
        ValueFormatter::appendBinary(value.data(), value.size(), out);
    else if (value.size() == static_cast<size_t>(fixedWidth(info.listOf)))
        formatter.appendValue(fixedStoredValue(info.listOf, info.scale, reinterpret_cast<const uint8_t*>(value.data())),
                              out);
}

}  // namespace

void appendValueListText(const TableData& table, int64_t row, int column, const ValueFormatter& formatter,
                         std::string& out)
{
    bool first = true;
    forEachListValue(table.bytesValue(row, column), [&](std::string_view value) {
        if (!first)
            out += "; ";
        first = false;
        appendListedValue(table.info(column), value, formatter, out);
    });
}

QString valueListText(const TableData& table, int64_t row, int column)
{
    std::string text;
    appendValueListText(table, row, column, *ValueFormatter::forDefaultLocale(), text);
    return QString::fromStdString(text);
}

}  // namespace varnex
