#pragma once
// Columnar storage of a loaded table: per column one Null bit per row, the
// values at a fixed width per row, or (text and binary) the values back to back
// in one byte area with, per row, where its value ends. Text is held as UTF-8.
// An end counts from the start of its run of rows, and the runs' starts are kept
// beside the ends: two bytes a row in runs of 64 for text and binary columns of
// at most 255 characters or bytes, four in runs of 65536 for long values. A short
// column whose run outgrows two bytes (only a damaged file's can) turns to four.

#include "data/GrowBuffer.h"

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

namespace varnex {

struct ColumnInfo {
    QString name;
    int16_t type = 0;        // the field type code; fieldtype::Unsupported for a column whose values cannot be read
    uint8_t precision = 0;   // Decimal
    uint8_t scale = 0;       // Decimal (a value that carries its own scale overrides it, see fixedWidth)
    // Nonzero: each value is a list of values of this type (see ValueList.h), shown joined as text;
    // `type` is then a text type and precision and scale describe the listed values.
    int16_t listOf = 0;
    uint8_t storedType = 0;  // Unsupported: the Access type code of the column (or of its listed values)

    friend bool operator==(const ColumnInfo&, const ColumnInfo&) = default;
};

// Bytes per value of a fixed-width type; 0 for variable-length types. Decimal: a sign byte (bit 0 set:
// negative; bits 1-7, where nonzero, the value's own scale plus one, for results whose scale varies by row),
// then the 128-bit mantissa little-endian. Unsupported: the value's byte count in the file.
int fixedWidth(int16_t type);
bool isVariableLength(int16_t type);

struct ColumnData {
    ColumnInfo info;
    GrowBuffer nulls;    // bit r % 8 of byte r / 8 set: row r is Null
    int64_t count = 0;   // rows stored in this column
    GrowBuffer values;   // fixed width per row; for variable-length types the end in the row's run
    GrowBuffer bytes;    // variable-length values, back to back
    std::vector<uint64_t> runStarts;  // variable-length types: where each run of rows begins in bytes
    bool shortEnds = false;           // variable-length types: two-byte ends (see above)

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
};

// Records the next row's variable-length value as lying in bytes [start, end) of the column.
// False when memory runs out or a run of rows would hold 4 GB or more.
bool appendValueEnd(ColumnData& column, int64_t row, uint64_t start, uint64_t end);

// Clears the bits past the column's last row in its last Null byte, which later rows fill.
void clearUnusedNullBits(ColumnData& column);

class TableData {
public:
    TableData() = default;
    explicit TableData(const std::vector<ColumnInfo>& columns);

    int64_t rowCount() const { return rows_; }
    int columnCount() const { return static_cast<int>(columns_.size()); }
    const ColumnInfo& info(int column) const { return columns_[static_cast<size_t>(column)].info; }
    ColumnData& column(int c) { return columns_[static_cast<size_t>(c)]; }
    const ColumnData& column(int c) const { return columns_[static_cast<size_t>(c)]; }

    bool isNull(int64_t row, int column) const
    {
        const auto bits = columns_[static_cast<size_t>(column)].nulls.data();
        return (bits[static_cast<size_t>(row) >> 3] >> (row & 7)) & 1;
    }
    const uint8_t* fixedValue(int64_t row, int column) const
    {
        const ColumnData& c = columns_[static_cast<size_t>(column)];
        return c.values.data() + static_cast<size_t>(row) * static_cast<size_t>(fixedWidth(c.info.type));
    }
    std::string_view bytesValue(int64_t row, int column) const
    {
        const ColumnData& c = columns_[static_cast<size_t>(column)];
        const uint64_t begin = c.valueStart(row);
        return {reinterpret_cast<const char*>(c.bytes.data()) + begin, static_cast<size_t>(c.valueEnd(row) - begin)};
    }

    // Asks the processor for a row's cells ahead of their use: first where they are (the Null
    // flags, fixed values and ends), then, once those are at hand, the text and binary bytes.
    void prefetch(int64_t row, bool bytes) const;

    // Appending, row by row: each column of a row exactly once, then endRow().
    bool putNull(int column);
    bool putFixed(int column, const void* value);
    bool putBytes(int column, const void* bytes, size_t length);
    // Extends a variable-length value of the current row by more bytes (after putBytes).
    bool appendBytes(int column, const void* bytes, size_t length);
    void endRow() { ++rows_; }

    // Appends n Null flags, packed as in ColumnData::nulls, to a column.
    bool appendNullBits(int column, const uint8_t* bits, int64_t n);

    // Moves all rows of other (same columns) to the end of this table and empties other.
    bool takeRows(TableData& other);
    void setRowCount(int64_t rows) { rows_ = rows; }
    void clearRows();                 // keeps the memory for the next rows
    bool reserveRows(int64_t rows);   // room for the fixed-width parts of this many more rows

    // Memory held by the stored rows.
    size_t byteSize() const;

private:
    bool appendNullFlag(ColumnData& column, bool isNull);

    std::vector<ColumnData> columns_;
    int64_t rows_ = 0;
};

}  // namespace varnex
