#pragma once
// How Access 2010 and later store a calculated column's result: 16 zero bytes, the result's length
// (32-bit), the result, then 3 zero bytes; an empty result is a Null. The result has the bytes of a value
// of its type, but a Decimal keeps its own scale: a 16-bit length of what follows it, the scale, the sign
// (0x80 negative), then the mantissa in 12 bytes: its bits 64-95, then its bits 0-63, each part
// little-endian.

#include "jetwriter/JetWriter.h"

#include <cstdint>
#include <vector>

namespace jetwriter {

std::vector<uint8_t> wrapCalculated(const std::vector<uint8_t>& result);

// Throws std::runtime_error for a value of more than 28 digits or places.
std::vector<uint8_t> calculatedDecimal(const DecimalValue& value);

}  // namespace jetwriter
