#pragma once
// The sort of a recordset: parsing "[F]" / "F1 ASC, [F2] DESC" and ordering a
// permutation of the stored rows (Nulls first, numbers and dates by value, text
// without regard to case in the locale's collation, equal keys kept in order).

#include "core/Error.h"
#include "data/ColumnSort.h"
#include "store/TableData.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace varnex {

// ItemNotFound for a field the table does not have, BadArguments for text that is no sort specification.
Result<std::vector<SortKey>> parseSort(const QString& specification, const TableData& table);

// The names of the columns a sort specification orders by, in its order; BadArguments for text
// that is no sort specification. An empty text names none.
Result<QStringList> sortColumnNames(const QString& specification);

// Reorders order (stored row numbers) by the keys; rows equal on every key keep their order.
void sortRows(const TableData& table, const std::vector<SortKey>& keys, std::vector<uint32_t>& order);

}  // namespace varnex
