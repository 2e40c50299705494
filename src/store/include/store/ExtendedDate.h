#pragma once
// Date/Time Extended values (Access 2016 and later) as TableData keeps them: a count of 100 ns
// ticks since 0001-01-01 00:00:00, which orders them as dates; years 1 to 9999.

#include <cstdint>

namespace varnex {

inline constexpr int64_t kTicksPerSecond = 10'000'000;
inline constexpr int64_t kTicksPerDay = 86'400 * kTicksPerSecond;
inline constexpr int64_t kLastExtendedDay = 3'652'058;  // 9999-12-31, in days since 0001-01-01

}  // namespace varnex
