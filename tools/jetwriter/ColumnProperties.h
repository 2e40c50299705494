#pragma once
// The properties Access keeps for a table's columns in its catalogue row (MSysObjects.LvProp): "MR2\0" ("KKD\0"
// in Jet 3, whose texts are in its code page rather than UTF-16), then
// chunks of a 32-bit length (the chunk's, these six bytes included) and a 16-bit kind. Kind 0x80 lists the
// property names (each a 16-bit byte count and UTF-16); kind 0x01 holds one column's properties: a 32-bit
// length of the chunk's head, the column's name (16-bit byte count, UTF-16), then per property its entry's
// length (16-bit), a flag byte, its type code, the index of its name, its value's length (16-bit) and the
// value. Only calculated and required columns are given properties here: their expression (Memo) and result
// type (Byte), and Required (Yes/No, true).

#include "jetwriter/FormatInfo.h"

#include <cstdint>
#include <vector>

namespace jetwriter {

// Empty where no column has properties to keep.
std::vector<uint8_t> columnProperties(const FormatInfo& info, const std::vector<Column>& columns);

}  // namespace jetwriter
