#pragma once
// A database's schema as the rows of a table, which the reader process sends as it sends a table's
// rows: one row a fact (a table, then its columns, its indexes each followed by its keys; then each
// relationship followed by its pairs of columns), in that order.

#include "store/DatabaseSchema.h"
#include "store/TableData.h"

#include <optional>

namespace varnex {

// The columns every schema's rows have.
std::vector<ColumnInfo> schemaRowColumns();

// False where memory runs out.
bool appendSchemaRows(const DatabaseSchema& schema, TableData& rows);

// Nothing for rows that are not such a schema (of other columns, or facts out of order).
std::optional<DatabaseSchema> schemaFromRows(const TableData& rows);

}  // namespace varnex
