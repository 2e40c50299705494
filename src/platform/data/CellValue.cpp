#include "platform/data/CellValue.h"

#include "platform/data/DataTypes.h"
#include "platform/data/ValueText.h"

#include <charconv>
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

void AppendInteger(int64_t value, std::string& out)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
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

void AppendCellTextUtf8(const TableData& table, int64_t row, int column, std::string& out)
{
    const int16_t type = table.info(column).type;
    if (type == 0 || table.isNull(row, column))
        return;
    const uint8_t* at = IsVariableLength(type) ? nullptr : table.fixedValue(row, column);
    switch (type) {
    case adType::VarWChar:
    case adType::LongVarWChar: out.append(table.bytesValue(row, column)); return;
    case adType::UnsignedTinyInt: AppendInteger(at[0], out); return;
    case adType::SmallInt: AppendInteger(Load<int16_t>(at), out); return;
    case adType::Integer: AppendInteger(Load<int32_t>(at), out); return;
    case adType::BigInt: AppendInteger(Load<int64_t>(at), out); return;
    case adType::Boolean: out.append(at[0] ? "True" : "False"); return;
    default: out.append(CellText(table, row, column).toStdString()); return;
    }
}

}  // namespace varnex
