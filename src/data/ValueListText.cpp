#include "data/ValueListText.h"

#include "data/CellValue.h"
#include "data/FieldTypes.h"
#include "data/ValueList.h"
#include "data/ValueText.h"

#include <QStringList>

namespace varnex {
namespace {

QString listedValueText(const ColumnInfo& info, std::string_view value)
{
    if (info.listOf == fieldtype::VarWChar || info.listOf == fieldtype::LongVarWChar)
        return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
    if (isVariableLength(info.listOf))
        return binaryText(value.data(), value.size());
    if (value.size() != static_cast<size_t>(fixedWidth(info.listOf)))
        return {};
    return valueText(fixedStoredValue(info.listOf, info.scale, reinterpret_cast<const uint8_t*>(value.data())));
}

}  // namespace

QString valueListText(const TableData& table, int64_t row, int column)
{
    QStringList texts;
    forEachListValue(table.bytesValue(row, column),
                     [&](std::string_view value) { texts << listedValueText(table.info(column), value); });
    return texts.join(QStringLiteral("; "));
}

}  // namespace varnex
