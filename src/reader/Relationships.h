#pragma once
// The relationships between tables as MSysRelationships keeps them: one row per pair of columns, with
// the relationship's name (szRelationship), its flags (grbit), its count of pairs (ccolumn), the
// pair's place among them (icolumn), the referring table and column (szObject, szColumn) and the
// referred one (szReferencedObject, szReferencedColumn).

#include "store/DatabaseSchema.h"
#include "store/ReadWarning.h"
#include "store/TableData.h"

#include <vector>

namespace varnex::reader {

// The relationships between the tables of the schema, each with its pairs in their order. One that
// names a table or column the schema does not have, or whose rows do not make whole pairs, is left out
// and named in a warning.
std::vector<SchemaRelationship> relationshipsFromRows(const TableData& rows, const std::vector<SchemaTable>& tables,
                                                      std::vector<ReadWarning>& warnings);

}  // namespace varnex::reader
