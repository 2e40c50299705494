#pragma once
// The sort of a recordset: parsing "[F]" / "F1 ASC, [F2] DESC" and ordering a
// permutation of the stored rows (Nulls first, numbers and dates by value, text
// without regard to case in the locale's collation, equal keys kept in order).

#include "platform/Error.h"
#include "platform/data/ColumnSort.h"
#include "platform/data/TableData.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace varnex {

// 3265 for a field the table does not have, 3001 for text that is not a sort specification.
Result<std::vector<SortKey>> ParseSort(const QString& specification, const TableData& table);

// Reorders order (stored row numbers) by the keys; rows equal on every key keep their order.
void SortRows(const TableData& table, const std::vector<SortKey>& keys, std::vector<uint32_t>& order);

}  // namespace varnex
