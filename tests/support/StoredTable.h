#pragma once
// Tables of stored values filled by hand, for tests of what the data layer and
// the export make of values of every type without a database file.

#include "store/TableData.h"
#include "store/Variant.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace varnex::test {

// One cell as the table stores it: Null, or the value's bytes (text as UTF-8).
struct StoredCell {
    bool null = true;
    std::string bytes;
};

inline StoredCell StoredNull()
{
    return {};
}

template <class T>
StoredCell Stored(T value)
{
    return {false, std::string(reinterpret_cast<const char*>(&value), sizeof value)};
}

inline StoredCell StoredBytes(std::string bytes)
{
    return {false, std::move(bytes)};
}

// Sign byte, then the 128-bit mantissa; the scale belongs to the column.
inline StoredCell StoredDecimal(bool negative, UInt128 mantissa)
{
    std::string bytes(1, negative ? '\1' : '\0');
    bytes.append(reinterpret_cast<const char*>(&mantissa), sizeof mantissa);
    return {false, bytes};
}

// A table of these columns holding the rows, one cell per column in each.
inline std::shared_ptr<const TableData> StoredTable(const std::vector<ColumnInfo>& columns,
                                                    const std::vector<std::vector<StoredCell>>& rows)
{
    auto table = std::make_shared<TableData>(columns);
    for (const std::vector<StoredCell>& row : rows) {
        for (int c = 0; c < table->columnCount(); ++c) {
            const StoredCell& cell = row.at(static_cast<size_t>(c));
            const bool stored = cell.null ? table->putNull(c)
                                : isVariableLength(columns[static_cast<size_t>(c)].type)
                                    ? table->putBytes(c, cell.bytes.data(), cell.bytes.size())
                                    : table->putFixed(c, cell.bytes.data());
            EXPECT_TRUE(stored) << "column " << c;
        }
        table->endRow();
    }
    return table;
}

}  // namespace varnex::test
