#pragma once
// The text of a Date/Time Extended value: the locale's short date with the year in full and, where
// the time is not midnight, its long time, the seconds followed by their fraction where that is not zero
// (up to seven digits, trailing zeros left off), in the locale's decimal separator.

#include <QLocale>
#include <QString>

#include <cstdint>

namespace varnex {

// ticks: 100 ns since 0001-01-01 00:00:00 (see ExtendedDate.h); "" outside years 1 to 9999.
QString extendedDateText(int64_t ticks, const QLocale& locale);

}  // namespace varnex
