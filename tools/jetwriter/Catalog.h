#pragma once
// The system tables every database carries, and the catalogue rows (MSysObjects) naming all objects.

#include "jetwriter/JetWriter.h"

#include <string>
#include <vector>

namespace jetwriter {

struct SystemTable {
    std::string name;
    std::vector<Column> columns;
};

// MSysObjects first: its definition is always on page 2.
const std::vector<SystemTable>& systemTables();

struct CatalogTable {
    std::string name;
    uint32_t definitionPage;
    bool system;
};

// Containers, the database object and one row per table, in MSysObjects column order.
std::vector<Row> catalogRows(const std::vector<CatalogTable>& tables, double created);

}  // namespace jetwriter
