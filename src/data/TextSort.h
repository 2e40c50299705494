#pragma once
// The stable sort of rows by a text column in the order of its folded texts (letter case
// ignored, code point order), as the C locale collates.

#include "store/TableData.h"

#include <cstdint>
#include <span>

namespace varnex {

// rows: rows whose text in column is not Null, in their order so far; equal texts keep it.
void sortByFoldedText(const TableData& table, int column, bool descending, std::span<uint32_t> rows);

}  // namespace varnex
