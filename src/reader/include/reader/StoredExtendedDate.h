#pragma once
// A Date/Time Extended value as an ACE row stores it: 42 ASCII bytes, the days since 0001-01-01
// (19 digits), ':', the 100 ns ticks into the day (19 digits), ':', one digit (the fraction's
// precision, 7), then a zero byte.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace varnex::reader {

// Ticks since 0001-01-01 00:00:00 (see ExtendedDate.h); nothing for bytes that are not such a value
// or lie outside years 1 to 9999.
std::optional<int64_t> extendedDateTicks(const uint8_t* stored, size_t size);

}  // namespace varnex::reader
