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
    if (info.type != FieldType::Unsupported || table.isNull(row, column))
        return {};
    const auto bytes = storedAs<uint32_t>(table.fixedValue(row, column));
    return QStringLiteral("(unsupported type 0x%1, %2)")
        .arg(QString::number(info.storedType, 16).toUpper().rightJustified(2, u'0'),
             bytes == 1 ? QStringLiteral("1 byte") : QStringLiteral("%1 bytes").arg(bytes));
}

Variant storedValue(const TableData& table, int64_t row, int column)
{
    const FieldType type = table.info(column).type;
    if (type == FieldType::Unsupported || table.isNull(row, column))
        return {};
    if (table.info(column).isList())
        return Variant::text(valueListText(table, row, column));
    if (isVariableLength(type)) {
        const std::string_view bytes = table.bytesValue(row, column);
        if (type == FieldType::VarWChar || type == FieldType::LongVarWChar)
            return Variant::text(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
        return Variant::binary(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }
    if (type == FieldType::Date)
        return Variant::date(table.dateValue(row, column));
    if (type == FieldType::Integer)
        return Variant::longInteger(table.integerValue(row, column));
    return fixedStoredValue(type, table.info(column).scale, table.fixedValue(row, column));
}

Variant fixedStoredValue(FieldType type, uint8_t scale, const uint8_t* at)
{
    switch (type) {
    case FieldType::Boolean: return Variant::boolean(at[0] != 0);
    case FieldType::UnsignedTinyInt: return Variant::byte(at[0]);
    case FieldType::SmallInt: return Variant::integer(storedAs<int16_t>(at));
    case FieldType::Integer: return Variant::longInteger(storedAs<int32_t>(at));
    case FieldType::BigInt: return Variant::bigInt(storedAs<int64_t>(at));
    case FieldType::Single: return Variant::single(storedAs<float>(at));
    case FieldType::Double: return Variant::doubleValue(storedAs<double>(at));
    case FieldType::Currency: return Variant::currency(storedAs<int64_t>(at));
    case FieldType::Date: return Variant::date(storedAs<double>(at));
    case FieldType::DBTimeStamp: return Variant::extendedDate(storedAs<int64_t>(at));
    case FieldType::Numeric: return Variant::decimal(storedDecimal(at, scale));
    case FieldType::GUID: return Variant::guid(storedAs<GuidBytes>(at));
    default: return {};
    }
}

void appendStoredText(const TableData& table, int64_t row, int column, const ValueFormatter& formatter,
                      std::string& out)
{
    const FieldType type = table.info(column).type;
    if (type == FieldType::Unsupported || table.isNull(row, column))
        return;
    if (table.info(column).isList()) {
        appendValueListText(table, row, column, formatter, out);
        return;
    }
    if (isVariableLength(type)) {
        const std::string_view bytes = table.bytesValue(row, column);
        if (type == FieldType::VarWChar || type == FieldType::LongVarWChar)
            out.append(bytes);  // text is stored as UTF-8
        else
            ValueFormatter::appendBinary(bytes.data(), bytes.size(), out);
        return;
    }
    if (type == FieldType::Date) {
        formatter.appendDate(table.dateValue(row, column), out);
        return;
    }
    if (type == FieldType::Integer) {
        ValueFormatter::appendInteger(table.integerValue(row, column), out);
        return;
    }
    const uint8_t* at = table.fixedValue(row, column);
    switch (type) {
    case FieldType::Boolean: ValueFormatter::appendBoolean(at[0] != 0, out); return;
    case FieldType::UnsignedTinyInt: ValueFormatter::appendInteger(at[0], out); return;
    case FieldType::SmallInt: ValueFormatter::appendInteger(storedAs<int16_t>(at), out); return;
    case FieldType::BigInt: ValueFormatter::appendInteger(storedAs<int64_t>(at), out); return;
    case FieldType::Single: formatter.appendReal(storedAs<float>(at), 7, out); return;
    case FieldType::Double: formatter.appendReal(storedAs<double>(at), 15, out); return;
    case FieldType::Currency: formatter.appendCurrency(storedAs<int64_t>(at), out); return;
    case FieldType::DBTimeStamp: formatter.appendExtendedDate(storedAs<int64_t>(at), out); return;
    case FieldType::Numeric: formatter.appendDecimal(storedDecimal(at, table.info(column).scale), out); return;
    case FieldType::GUID: ValueFormatter::appendGuid(storedAs<GuidBytes>(at), out); return;
    default: return;  // a type the storage holds no values of
    }
}

}  // namespace varnex
