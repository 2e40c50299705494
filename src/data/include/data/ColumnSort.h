#pragma once
// A stable sort of stored row numbers by one column.

#include "store/TableData.h"

#include <cstdint>
#include <vector>

namespace varnex {

struct SortKey {
    int column = 0;
    bool descending = false;
};

// Ascending: Nulls first; descending: the exact reverse of the ascending order
// except that equal keys still keep their order.
void sortByColumn(const TableData& table, const SortKey& key, std::vector<uint32_t>& order);

}  // namespace varnex
