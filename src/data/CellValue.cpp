#include "data/CellValue.h"

#include "store/FieldTypes.h"
#include "data/ValueListText.h"

#include <cstring>

namespace varnex {
DecimalValue storedDecimal(const uint8_t* stored, uint8_t scale)
{
    DecimalValue value;
    value.negative = (stored[0] & 1) != 0;
    std::memcpy(&value.mantissa, stored + 1, sizeof value.mantissa);
    const int ownScale = stored[0] >> 1;  // plus one; 0: the column's (see TableData.h)
    value.scale = ownScale != 0 ? static_cast<uint8_t>(ownScale - 1) : scale;
    return value;
}

QString unreadValueText(const TableData& table, int64_t row, int column)
{
    const ColumnInfo& info = table.info(column);
    if (info.type != fieldtype::Unsupported || table.isNull(row, column))
        return {};
    const auto bytes = storedAs<uint32_t>(table.fixedValue(row, column));
    return QStringLiteral("(unsupported type 0x%1, %2)")
        .arg(QString::number(info.storedType, 16).toUpper().rightJustified(2, u'0'),
             bytes == 1 ? QStringLiteral("1 byte") : QStringLiteral("%1 bytes").arg(bytes));
}

Variant storedValue(const TableData& table, int64_t row, int column)
{
    const int16_t type = table.info(column).type;
    if (type == fieldtype::Unsupported || table.isNull(row, column))
        return {};
    if (table.info(column).listOf != 0)
        return Variant::text(valueListText(table, row, column));
    if (isVariableLength(type)) {
        const std::string_view bytes = table.bytesValue(row, column);
        if (type == fieldtype::VarWChar || type == fieldtype::LongVarWChar)
            return Variant::text(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
        return Variant::binary(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }
    return fixedStoredValue(type, table.info(column).scale, table.fixedValue(row, column));
}

Variant fixedStoredValue(int16_t type, uint8_t scale, const uint8_t* at)
{
    switch (type) {
    case fieldtype::Boolean: return Variant::boolean(at[0] != 0);
    case fieldtype::UnsignedTinyInt: return Variant::byte(at[0]);
    case fieldtype::SmallInt: return Variant::integer(storedAs<int16_t>(at));
    case fieldtype::Integer: return Variant::longInteger(storedAs<int32_t>(at));
    case fieldtype::BigInt: return Variant::bigInt(storedAs<int64_t>(at));
    case fieldtype::Single: return Variant::single(storedAs<float>(at));
    case fieldtype::Double: return Variant::doubleValue(storedAs<double>(at));
    case fieldtype::Currency: return Variant::currency(storedAs<int64_t>(at));
    case fieldtype::Date: return Variant::date(storedAs<double>(at));
    case fieldtype::DBTimeStamp: return Variant::extendedDate(storedAs<int64_t>(at));
    case fieldtype::Numeric: return Variant::decimal(storedDecimal(at, scale));
    case fieldtype::GUID: return Variant::guid(storedAs<GuidBytes>(at));
    default: return {};
    }
}

void appendStoredText(const TableData& table, int64_t row, int column, const ValueFormatter& formatter,
                      std::string& out)
{
    const int16_t type = table.info(column).type;
    if (type == fieldtype::Unsupported || table.isNull(row, column))
        return;
    if (table.info(column).listOf != 0) {
        appendValueListText(table, row, column, formatter, out);
        return;
    }
    if (isVariableLength(type)) {
        const std::string_view bytes = table.bytesValue(row, column);
        if (type == fieldtype::VarWChar || type == fieldtype::LongVarWChar)
            out.append(bytes);  // text is stored as UTF-8
        else
            ValueFormatter::appendBinary(bytes.data(), bytes.size(), out);
        return;
    }
    const uint8_t* at = table.fixedValue(row, column);
    switch (type) {
    case fieldtype::Boolean: ValueFormatter::appendBoolean(at[0] != 0, out); return;
    case fieldtype::UnsignedTinyInt: ValueFormatter::appendInteger(at[0], out); return;
    case fieldtype::SmallInt: ValueFormatter::appendInteger(storedAs<int16_t>(at), out); return;
    case fieldtype::Integer: ValueFormatter::appendInteger(storedAs<int32_t>(at), out); return;
    case fieldtype::BigInt: ValueFormatter::appendInteger(storedAs<int64_t>(at), out); return;
    case fieldtype::Single: formatter.appendReal(storedAs<float>(at), 7, out); return;
    case fieldtype::Double: formatter.appendReal(storedAs<double>(at), 15, out); return;
    case fieldtype::Currency: formatter.appendCurrency(storedAs<int64_t>(at), out); return;
    case fieldtype::Date: formatter.appendDate(storedAs<double>(at), out); return;
    case fieldtype::DBTimeStamp: formatter.appendExtendedDate(storedAs<int64_t>(at), out); return;
    case fieldtype::Numeric: formatter.appendDecimal(storedDecimal(at, table.info(column).scale), out); return;
    case fieldtype::GUID: ValueFormatter::appendGuid(storedAs<GuidBytes>(at), out); return;
    default: return;  // a type the storage holds no values of
    }
}

}  // namespace varnex
