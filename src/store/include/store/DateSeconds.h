#pragma once
// A Date value (a double: days since 1899-12-30, the time of day the fraction of the day beside the
// days' magnitude, so -1.25 is 1899-12-29 06:00) as a whole count of seconds where it is exactly
// one: the count's sign is the date's, its magnitude the days times 86400 plus the second of the
// day. Counts order as the doubles do, and equal counts are equal doubles.

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace varnex {

inline constexpr int64_t kSecondsPerDay = 86'400;

// The date a count of seconds stands for.
inline double dateOfSeconds(int64_t seconds)
{
    const int64_t magnitude = seconds < 0 ? -seconds : seconds;
    const double date = static_cast<double>(magnitude / kSecondsPerDay) +
                        static_cast<double>(magnitude % kSecondsPerDay) / static_cast<double>(kSecondsPerDay);
    return seconds < 0 ? -date : date;
}

// The count of seconds whose date is this very double, bit for bit; none for a date with a
// fraction of a second, minus zero, a NaN or a value past any date.
inline std::optional<int64_t> secondsOfDate(double date)
{
    const double magnitude = std::fabs(date);
    if (!(magnitude < 1e9))  // also a NaN
        return std::nullopt;
    const auto rounded = static_cast<int64_t>(magnitude * static_cast<double>(kSecondsPerDay) + 0.5);
    const int64_t seconds = std::signbit(date) ? -rounded : rounded;
    if (std::bit_cast<uint64_t>(dateOfSeconds(seconds)) != std::bit_cast<uint64_t>(date))
        return std::nullopt;
    return seconds;
}

// secondsOfDate() of n dates (eight bytes each, at any alignment) at once: each one's count in
// seconds where exact says it has one, else 0; by the processor's vector instructions where it has them.
void secondsOfDates(const uint8_t* dates, size_t n, int64_t* seconds, uint8_t* exact);

}  // namespace varnex
