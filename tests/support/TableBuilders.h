#pragma once
// Short names for writing test tables.

#include "jetwriter/JetWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace varnex::test {

inline jetwriter::Cell N() { return jetwriter::Null{}; }
inline jetwriter::Cell I(int64_t value) { return value; }
inline jetwriter::Cell T(std::string text) { return text; }

inline jetwriter::Column Column(std::string name, jetwriter::ColumnType type)
{
    jetwriter::Column column;
    column.name = std::move(name);
    column.type = type;
    return column;
}

inline jetwriter::Table Table(std::string name, std::vector<jetwriter::Column> columns,
                              std::vector<jetwriter::Row> rows)
{
    jetwriter::Table table;
    table.name = std::move(name);
    table.columns = std::move(columns);
    table.rows = std::move(rows);
    return table;
}

}  // namespace varnex::test
