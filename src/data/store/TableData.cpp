#include "data/TableData.h"

#include "data/FieldTypes.h"

namespace varnex {

int fixedWidth(int16_t type)
{
    switch (type) {
    case fieldtype::UnsignedTinyInt:
    case fieldtype::Boolean: return 1;
    case fieldtype::SmallInt: return 2;
    case fieldtype::Integer:
    case fieldtype::Single: return 4;
    case fieldtype::Double:
    case fieldtype::Currency:
    case fieldtype::Date:
    case fieldtype::DBTimeStamp:  // 100 ns ticks since 0001-01-01 (see ExtendedDate.h)
    case fieldtype::BigInt: return 8;
    case fieldtype::GUID: return 16;
    case fieldtype::Numeric: return 17;  // sign byte, then the 128-bit mantissa little-endian
    default: return 0;
    }
}

bool isVariableLength(int16_t type)
{
    switch (type) {
    case fieldtype::VarWChar:
    case fieldtype::LongVarWChar:
    case fieldtype::Binary:
    case fieldtype::VarBinary:
    case fieldtype::LongVarBinary: return true;
    default: return false;
    }
}

TableData::TableData(const std::vector<ColumnInfo>& columns)
{
    columns_.resize(columns.size());
    for (size_t i = 0; i < columns.size(); ++i)
        columns_[i].info = columns[i];
}

void clearUnusedNullBits(ColumnData& column)
{
    if (column.count % 8 != 0)
        column.nulls.data()[column.count / 8] &= static_cast<uint8_t>((1u << (column.count % 8)) - 1);
}

bool TableData::appendNullFlag(ColumnData& column, bool isNull)
{
    const auto bit = static_cast<size_t>(column.count);
    if (bit % 8 == 0) {
        uint8_t* byte = column.nulls.extend(1);
        if (!byte)
            return false;
        *byte = 0;
    }
    if (isNull)
        column.nulls.data()[bit / 8] |= static_cast<uint8_t>(1u << (bit % 8));
    ++column.count;
    return true;
}

bool TableData::appendNullBits(int column, const uint8_t* bits, int64_t n)
{
    ColumnData& c = columns_[static_cast<size_t>(column)];
    if (c.count % 8 == 0) {
        const auto bytes = static_cast<size_t>((n + 7) / 8);
        if (!c.nulls.append(bits, bytes))
            return false;
        c.count += n;
        clearUnusedNullBits(c);
        return true;
    }
    for (int64_t i = 0; i < n; ++i) {
        if (!appendNullFlag(c, (bits[i >> 3] >> (i & 7)) & 1))
            return false;
    }
    return true;
}

bool TableData::putNull(int column)
{
    ColumnData& c = columns_[static_cast<size_t>(column)];
    if (!appendNullFlag(c, true))
        return false;
    if (isVariableLength(c.info.type)) {
        const uint64_t end = c.bytes.size();
        return c.values.append(&end, sizeof end);
    }
    const auto width = static_cast<size_t>(fixedWidth(c.info.type));
    uint8_t* at = c.values.extend(width);
    if (!at)
        return false;
    std::memset(at, 0, width);
    return true;
}

bool TableData::putFixed(int column, const void* value)
{
    ColumnData& c = columns_[static_cast<size_t>(column)];
    return appendNullFlag(c, false) && c.values.append(value, static_cast<size_t>(fixedWidth(c.info.type)));
}

bool TableData::putBytes(int column, const void* bytes, size_t length)
{
    ColumnData& c = columns_[static_cast<size_t>(column)];
    if (!appendNullFlag(c, false) || !c.bytes.append(bytes, length))
        return false;
    const uint64_t end = c.bytes.size();
    return c.values.append(&end, sizeof end);
}

bool TableData::appendBytes(int column, const void* bytes, size_t length)
{
    ColumnData& c = columns_[static_cast<size_t>(column)];
    if (!c.bytes.append(bytes, length))
        return false;
    auto* ends = reinterpret_cast<uint64_t*>(c.values.data());
    ends[c.values.size() / sizeof(uint64_t) - 1] = c.bytes.size();
    return true;
}

bool TableData::takeRows(TableData& other)
{
    for (size_t i = 0; i < columns_.size(); ++i) {
        ColumnData& to = columns_[i];
        ColumnData& from = other.columns_[i];
        if (!appendNullBits(static_cast<int>(i), from.nulls.data(), from.count))
            return false;
        if (isVariableLength(to.info.type)) {
            const uint64_t base = to.bytes.size();
            const size_t count = from.values.size() / sizeof(uint64_t);
            auto* ends = reinterpret_cast<uint64_t*>(to.values.extend(count * sizeof(uint64_t)));
            if (!ends || !to.bytes.append(from.bytes.data(), from.bytes.size()))
                return false;
            for (size_t r = 0; r < count; ++r)
                ends[r] = base + from.values.at<uint64_t>(r);
        } else if (!to.values.append(from.values.data(), from.values.size())) {
            return false;
        }
    }
    rows_ += other.rows_;
    other.clearRows();
    return true;
}

void TableData::clearRows()
{
    for (ColumnData& c : columns_) {
        c.nulls.resetSize();
        c.values.resetSize();
        c.bytes.resetSize();
        c.count = 0;
    }
    rows_ = 0;
}

bool TableData::reserveRows(int64_t rows)
{
    const auto more = static_cast<size_t>(rows);
    for (ColumnData& c : columns_) {
        const size_t width = isVariableLength(c.info.type) ? sizeof(uint64_t) : static_cast<size_t>(fixedWidth(c.info.type));
        if (!c.nulls.reserve(c.nulls.size() + more / 8 + 1) || !c.values.reserve(c.values.size() + more * width))
            return false;
    }
    return true;
}

size_t TableData::byteSize() const
{
    size_t total = 0;
    for (const ColumnData& c : columns_)
        total += c.nulls.size() + c.values.size() + c.bytes.size();
    return total;
}

}  // namespace varnex
