#pragma once
// Dates as ISO 8601 text, "YYYY-MM-DD HH:MM:SS", for outputs that are read by programs rather than
// people: always the date and the time, whatever the locale.

#include <cstdint>
#include <optional>
#include <string>

namespace varnex {

// A Jet Date/Time value (days since 1899-12-30, the time of day as the fraction even before that
// day) as its day and its second, the time rounded to the second as Access shows it; nothing for a
// count that is no number or too large to be a day.
struct JetDateTime {
    int64_t dayNumber = 0;  // days since 1899-12-30, negative before
    int seconds = 0;        // since midnight, 0 to 86399
};
std::optional<JetDateTime> jetDateTime(double days);

// False, writing nothing, for a date outside years 1 to 9999.
bool appendIsoDateTime(double jetDays, std::string& out);
// Date/Time Extended (100 ns ticks since 0001-01-01), with ".fffffff" after the seconds where the
// fraction of a second is not zero.
bool appendIsoExtendedDateTime(int64_t ticks, std::string& out);

}  // namespace varnex
