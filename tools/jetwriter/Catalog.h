#pragma once
// The system tables every database carries, and the catalogue rows (MSysObjects) naming all objects.

#include "jetwriter/FormatInfo.h"

#include <string>
#include <vector>

namespace jetwriter {

struct SystemTable {
    std::string name;
    std::vector<Column> columns;
};

// MSysObjects first: its definition is always on page 2. ACE formats add MSysComplexColumns.
std::vector<SystemTable> systemTables(const FormatInfo& info);

constexpr int64_t kSystemObjectFlags = static_cast<int32_t>(0x80000000u);

struct CatalogTable {
    std::string name;
    uint32_t definitionPage;
    int64_t flags;   // 0 for user tables; readers hide tables with 0x80000000 or 0x2 set
    std::vector<uint8_t> properties;  // LvProp (see ColumnProperties.h); empty for none
};

// Containers, the database object and one row per table, in MSysObjects column order.
std::vector<Row> catalogRows(const std::vector<CatalogTable>& tables, double created);

}  // namespace jetwriter
