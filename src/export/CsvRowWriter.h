#pragma once
// One stored row as a UTF-8 CSV line, written straight into the output: each column's kind is
// resolved once, and room for the line made at once, as much as its values can take. Values
// of the kinds that fill most tables (text, whole numbers, reals, Currency, dates) are written
// here; the others as the value text has them.

#include "store/TableData.h"
#include "data/ValueFormatter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace varnex {

class CsvRowWriter {
public:
    struct Column {
        int index;
        bool text;        // always between double quotes
        bool storedUtf8;  // text kept as UTF-8: written from the stored bytes as they are
        bool plain;       // its text never holds a comma, a double quote or a line break
    };

    // The table and the formatter must outlive the writer; the table must not change meanwhile.
    CsvRowWriter(const TableData& table, const ValueFormatter& formatter, const std::vector<Column>& columns);

    void append(int64_t row, std::string& out) const;

private:
    enum class Kind : uint8_t { StoredText, YesNo, Byte, Short, Long, BigInt, Single, Double, Currency, Date, Other };
    struct Plan {
        Column column;
        Kind kind;
    };

    static Kind kindOf(const Column& column, FieldType type, size_t mostDateBytes);
    // A value of another kind, or one its kind does not write (a date Qt writes), at the end of out.
    void appendOther(const Column& column, int64_t row, std::string& out) const;

    const TableData& table_;
    const ValueFormatter& formatter_;
    std::vector<Plan> plans_;
    size_t mostFixed_ = 0;  // the most the values of the fixed kinds, the commas and the line end take
};

}  // namespace varnex
