#include "platform/data/CellValue.h"

#include "platform/data/DataTypes.h"
#include "platform/data/ValueText.h"

#include <cstring>

namespace varnex {
namespace {

template <class T>
T Load(const uint8_t* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

}  // namespace

DecimalValue StoredDecimal(const uint8_t* stored, uint8_t scale)
{
    DecimalValue value;
    value.negative = stored[0] != 0;
    std::memcpy(&value.mantissa, stored + 1, sizeof value.mantissa);
    value.scale = scale;
    return value;
}

Variant CellValue(const TableData& table, int64_t row, int column)
{
    const int16_t type = table.info(column).type;
    if (type == 0 || table.isNull(row, column))
        return {};
    if (IsVariableLength(type)) {
        const std::string_view bytes = table.bytesValue(row, column);
        if (type == adType::VarWChar || type == adType::LongVarWChar)
            return Variant::text(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
        return Variant::binary(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }
    const uint8_t* at = table.fixedValue(row, column);
    switch (type) {
    case adType::Boolean: return Variant::boolean(at[0] != 0);
    case adType::UnsignedTinyInt: return Variant::byte(at[0]);
    case adType::SmallInt: return Variant::integer(Load<int16_t>(at));
    case adType::Integer: return Variant::longInteger(Load<int32_t>(at));
    case adType::BigInt: return Variant::bigInt(Load<int64_t>(at));
    case adType::Single: return Variant::single(Load<float>(at));
    case adType::Double: return Variant::doubleValue(Load<double>(at));
    case adType::Currency: return Variant::currency(Load<int64_t>(at));
    case adType::Date: return Variant::date(Load<double>(at));
    case adType::Numeric: return Variant::decimal(StoredDecimal(at, table.info(column).scale));
    case adType::GUID: return Variant::guid(Load<GuidBytes>(at));
    default: return {};
    }
}

QString CellText(const TableData& table, int64_t row, int column)
{
    const int16_t type = table.info(column).type;
    if (type == 0 || table.isNull(row, column))
        return {};
    if (type == adType::VarWChar || type == adType::LongVarWChar) {
        const std::string_view bytes = table.bytesValue(row, column);
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    return ValueText(CellValue(table, row, column));
}

void AppendCellTextUtf8(const TableData& table, int64_t row, int column, const Utf8CellText& text, std::string& out)
{
    const int16_t type = table.info(column).type;
    if (type == 0 || table.isNull(row, column))
        return;
    if (IsVariableLength(type)) {
        const std::string_view bytes = table.bytesValue(row, column);
        if (type == adType::VarWChar || type == adType::LongVarWChar)
            out.append(bytes);
        else
            Utf8CellText::appendBinary(bytes.data(), bytes.size(), out);
        return;
    }
    const uint8_t* at = table.fixedValue(row, column);
    switch (type) {
    case adType::Boolean: out.append(at[0] ? "True" : "False"); return;
    case adType::UnsignedTinyInt: Utf8CellText::appendInteger(at[0], out); return;
    case adType::SmallInt: Utf8CellText::appendInteger(Load<int16_t>(at), out); return;
    case adType::Integer: Utf8CellText::appendInteger(Load<int32_t>(at), out); return;
    case adType::BigInt: Utf8CellText::appendInteger(Load<int64_t>(at), out); return;
    case adType::Single: text.appendReal(Load<float>(at), 7, out); return;
    case adType::Double: text.appendReal(Load<double>(at), 15, out); return;
    case adType::Currency: text.appendCurrency(Load<int64_t>(at), out); return;
    case adType::Date: text.appendDate(Load<double>(at), out); return;
    case adType::Numeric: text.appendDecimal(StoredDecimal(at, table.info(column).scale), out); return;
    case adType::GUID: Utf8CellText::appendGuid(Load<GuidBytes>(at), out); return;
    default: out.append(CellText(table, row, column).toStdString()); return;
    }
}

void AppendCellTextUtf8(const TableData& table, int64_t row, int column, std::string& out)
{
    AppendCellTextUtf8(table, row, column, *Utf8CellText::ForDefaultLocale(), out);
}

}  // namespace varnex
