#pragma once
// Columnar storage of a loaded table: per column one Null bit per row, the
// values at a fixed width per row, or (text and binary) the values back to back
// in one byte area with, per row, where its value ends. Text is held as UTF-8.
// An end counts from the start of its run of rows, and the runs' starts are kept
// beside the ends: two bytes a row in runs of 64, or four in runs of 65536 once a
// run of 64 values outgrows two bytes (long values, or a damaged file's text): the
// column's ends are then written again at four bytes each.
// A table that keeps its values compact (keepValuesCompact) holds a Date column's values as four
// bytes each, the value's whole seconds (see DateSeconds.h) counted from a base of the column's
// own, for as long as every value is a whole second within about 68 years of the column's first;
// and a Long Integer column whose values count up by one from row to row (an AutoNumber key of a
// table without deleted rows) as no bytes at all. At the first value that does not fit, the
// column's values are written again as they were read. Either way Date values are had only
// through dateValue() and Long Integer ones through integerValue(), never through fixedValue();
// copyFixedValue() gives any fixed-width value's bytes as fixedWidth() describes them.

#include "store/DateSeconds.h"
#include "store/FieldTypes.h"
#include "store/GrowBuffer.h"

#include <QString>

#include <cassert>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace varnex {

struct ColumnInfo {
    QString name;
    FieldType type = FieldType::Unsupported;  // Unsupported: a column whose values cannot be read
    uint8_t precision = 0;   // Decimal
    uint8_t scale = 0;       // Decimal (a value that carries its own scale overrides it, see fixedWidth)
    // Other than Unsupported: each value is a list of values of this type (see ValueList.h), shown
    // joined as text; `type` is then a text type and precision and scale describe the listed values.
    FieldType listOf = FieldType::Unsupported;
    uint8_t storedType = 0;  // Unsupported: the Access type code of the column (or of its listed values)

    bool isList() const { return listOf != FieldType::Unsupported; }

    friend bool operator==(const ColumnInfo&, const ColumnInfo&) = default;
};

// Bytes per value of a fixed-width type; 0 for variable-length types. Decimal: a sign byte (bit 0 set:
// negative; bits 1-7, where nonzero, the value's own scale plus one, for results whose scale varies by row),
// then the 128-bit mantissa little-endian. Unsupported: the value's byte count in the file.
constexpr int fixedWidth(FieldType type)
{
    switch (type) {
    case FieldType::UnsignedTinyInt:
    case FieldType::Boolean: return 1;
    case FieldType::SmallInt: return 2;
    case FieldType::Unsupported:
    case FieldType::Integer:
    case FieldType::Single: return 4;
    case FieldType::Double:
    case FieldType::Currency:
    case FieldType::Date:
    case FieldType::DBTimeStamp:  // 100 ns ticks since 0001-01-01 (see ExtendedDate.h)
    case FieldType::BigInt: return 8;
    case FieldType::GUID: return 16;
    case FieldType::Numeric: return 17;
    default: return 0;
    }
}

constexpr bool isVariableLength(FieldType type)
{
    switch (type) {
    case FieldType::VarWChar:
    case FieldType::LongVarWChar:
    case FieldType::Binary:
    case FieldType::VarBinary:
    case FieldType::LongVarBinary: return true;
    default: return false;
    }
}

// How a column keeps its fixed-width values.
enum class ValueForm : uint8_t {
    AsRead,       // as the reader sent them, fixedWidth(type) bytes each
    DateSeconds,  // Date: four-byte counts of seconds from base (see above)
    CountingUp,   // Integer: no bytes; a row's value is base plus the row's number
};

struct ColumnData {
    ColumnInfo info;
    GrowBuffer nulls;    // bit r % 8 of byte r / 8 set: row r is Null
    int64_t count = 0;   // rows stored in this column
    GrowBuffer values;   // fixed width per row; for variable-length types the end in the row's run
    GrowBuffer bytes;    // variable-length values, back to back
    std::vector<uint64_t> runStarts;  // variable-length types: where each run of rows begins in bytes
    bool shortEnds = false;           // variable-length types: two-byte ends (see above)
    ValueForm form = ValueForm::AsRead;
    // DateSeconds: the seconds of a stored 0; CountingUp: the value of row 0; none before the first value.
    std::optional<int64_t> base;

    // Bytes per row in values.
    size_t valueWidth() const
    {
        if (isVariableLength(info.type))
            return shortEnds ? sizeof(uint16_t) : sizeof(uint32_t);
        switch (form) {
        case ValueForm::DateSeconds: return sizeof(uint32_t);
        case ValueForm::CountingUp: return 0;
        default: return static_cast<size_t>(fixedWidth(info.type));
        }
    }

    int endRunBits() const { return shortEnds ? 6 : 16; }
    // Where row's variable-length value ends in bytes.
    uint64_t valueEnd(int64_t row) const
    {
        const uint64_t run = runStarts[static_cast<size_t>(row >> endRunBits())];
        return run + (shortEnds ? values.at<uint16_t>(static_cast<size_t>(row)) : values.at<uint32_t>(static_cast<size_t>(row)));
    }
    uint64_t valueStart(int64_t row) const
    {
        const bool runsFirst = (row & ((int64_t{1} << endRunBits()) - 1)) == 0;
        return runsFirst ? runStarts[static_cast<size_t>(row >> endRunBits())] : valueEnd(row - 1);
    }
    // Row's variable-length value.
    std::string_view bytesValue(int64_t row) const
    {
        const uint64_t begin = valueStart(row);
        return {reinterpret_cast<const char*>(bytes.data()) + begin, static_cast<size_t>(valueEnd(row) - begin)};
    }
};

bool appendValueEndSlowly(ColumnData& column, int64_t row, uint64_t start, uint64_t end);

// Appends row's fixed-width value (as fixedWidth() describes it) to a column whose Null flag for
// it is in already, widening the column's values where the value does not fit their form; false
// when memory runs out.
bool appendFixedValue(ColumnData& column, int64_t row, const void* value);
// The same for n values, of rows firstRow on, lying back to back (a Null row's as zeros).
bool appendFixedValues(ColumnData& column, int64_t firstRow, const uint8_t* values, size_t n);
// Appends the value of a Null row (zeros, where the column's form keeps bytes for it) to a
// fixed-width column whose Null flag for it is in already.
bool appendNullValue(ColumnData& column);

// Records the next row's variable-length value as lying in bytes [start, end) of the column.
// False when memory runs out or a run of rows would hold 4 GB or more.
inline bool appendValueEnd(ColumnData& column, int64_t row, uint64_t start, uint64_t end)
{
    // Within a run, most often: the end as it is kept.
    if ((row & ((int64_t{1} << column.endRunBits()) - 1)) != 0) {
        const uint64_t inRun = end - column.runStarts.back();
        if (column.shortEnds && inRun <= UINT16_MAX) {
            const auto stored = static_cast<uint16_t>(inRun);
            return column.values.append(&stored, sizeof stored);
        }
        if (!column.shortEnds && inRun <= UINT32_MAX) {
            const auto stored = static_cast<uint32_t>(inRun);
            return column.values.append(&stored, sizeof stored);
        }
    }
    return appendValueEndSlowly(column, row, start, end);
}

// Clears the bits past the column's last row in its last Null byte, which later rows fill.
void clearUnusedNullBits(ColumnData& column);

class TableData {
public:
    TableData() = default;
    explicit TableData(const std::vector<ColumnInfo>& columns);

    int64_t rowCount() const { return rows_; }
    int columnCount() const { return static_cast<int>(columns_.size()); }
    const ColumnInfo& info(int column) const { return columns_[static_cast<size_t>(column)].info; }
    // The column with that name, letter case ignored (as Access compares names); -1 where there is none.
    int columnIndex(const QString& name) const;
    ColumnData& column(int c) { return columns_[static_cast<size_t>(c)]; }
    const ColumnData& column(int c) const { return columns_[static_cast<size_t>(c)]; }

    bool isNull(int64_t row, int column) const
    {
        const auto bits = columns_[static_cast<size_t>(column)].nulls.data();
        return (bits[static_cast<size_t>(row) >> 3] >> (row & 7)) & 1;
    }
    // The bytes of a fixed-width value, as fixedWidth() describes them; not for Date columns, nor for
    // a column whose values are kept in a form of their own (see above).
    const uint8_t* fixedValue(int64_t row, int column) const
    {
        const ColumnData& c = columns_[static_cast<size_t>(column)];
        assert(c.info.type != FieldType::Date && c.form == ValueForm::AsRead);
        return c.values.data() + static_cast<size_t>(row) * static_cast<size_t>(fixedWidth(c.info.type));
    }
    // A Date column's value, whatever form the column keeps it in.
    double dateValue(int64_t row, int column) const
    {
        const ColumnData& c = columns_[static_cast<size_t>(column)];
        assert(c.info.type == FieldType::Date);
        if (c.form == ValueForm::DateSeconds)
            return dateOfSeconds(c.base.value_or(0) + c.values.at<uint32_t>(static_cast<size_t>(row)));
        double date;
        std::memcpy(&date, c.values.data() + static_cast<size_t>(row) * sizeof date, sizeof date);
        return date;
    }
    // A Long Integer column's value, whatever form the column keeps it in.
    int32_t integerValue(int64_t row, int column) const
    {
        const ColumnData& c = columns_[static_cast<size_t>(column)];
        assert(c.info.type == FieldType::Integer);
        if (c.form == ValueForm::CountingUp)
            return static_cast<int32_t>(c.base.value_or(0) + row);
        int32_t value;
        std::memcpy(&value, c.values.data() + static_cast<size_t>(row) * sizeof value, sizeof value);
        return value;
    }
    // Any fixed-width value's bytes as fixedWidth() describes them, whatever form the column keeps it in.
    void copyFixedValue(int64_t row, int column, void* out) const;
    std::string_view bytesValue(int64_t row, int column) const { return columns_[static_cast<size_t>(column)].bytesValue(row); }

    // Asks the processor for a row's cells ahead of their use: first where they are (the Null
    // flags, fixed values and ends), then, once those are at hand, the text and binary bytes.
    void prefetch(int64_t row, bool bytes) const;
    // The same for one column's cell.
    void prefetch(int64_t row, int column, bool bytes) const;

    // Appending, row by row: each column of a row exactly once, then endRow().
    bool putNull(int column);
    // A fixed-width value as fixedWidth() describes it (for a Date column, a double).
    bool putFixed(int column, const void* value)
    {
        ColumnData& c = columns_[static_cast<size_t>(column)];
        if (c.form != ValueForm::AsRead)
            return putInForm(c, value);
        return appendNullFlag(c, false) && c.values.append(value, static_cast<size_t>(fixedWidth(c.info.type)));
    }
    // The same for a column whose values are Width bytes wide, copied as what they are.
    template <size_t Width>
    bool putFixedOf(int column, const void* value)
    {
        ColumnData& c = columns_[static_cast<size_t>(column)];
        if (c.form != ValueForm::AsRead)
            return putInForm(c, value);
        return appendNullFlag(c, false) && c.values.append(value, Width);
    }
    bool putBytes(int column, const void* bytes, size_t length);
    // A variable-length value written in place: room for at most `most` bytes, then
    // putWrittenBytes() with how many of them the value took.
    uint8_t* bytesRoom(int column, size_t most) { return columns_[static_cast<size_t>(column)].bytes.room(most); }
    bool putWrittenBytes(int column, size_t length);
    // Extends a variable-length value of the current row by more bytes (after putBytes).
    bool appendBytes(int column, const void* bytes, size_t length);
    void endRow() { ++rows_; }

    // Appends n Null flags, packed as in ColumnData::nulls, to a column.
    bool appendNullBits(int column, const uint8_t* bits, int64_t n);

    // Moves all rows of other (same columns) to the end of this table and empties other.
    bool takeRows(TableData& other);
    void setRowCount(int64_t rows) { rows_ = rows; }
    // Keeps the Date and Long Integer columns' values compact (see above) from here on; for a table without rows.
    void keepValuesCompact();
    void clearRows();                 // keeps the memory for the next rows
    bool reserveRows(int64_t rows);   // room for the fixed-width parts of this many more rows

    // Memory held by the stored rows.
    size_t byteSize() const;

private:
    static bool putInForm(ColumnData& column, const void* value);
    static bool appendNullFlag(ColumnData& column, bool isNull)
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

    std::vector<ColumnData> columns_;
    int64_t rows_ = 0;
    bool compactValues_ = false;
};

}  // namespace varnex
