#include "data/IsoDateTime.h"

#include "store/ExtendedDate.h"

#include <QDate>

#include <cmath>

namespace varnex {
namespace {

constexpr int kSecondsPerDay = 86400;
// No day count this large makes a date (and converting it to an integer would be undefined).
constexpr double kDayCountLimit = 9.2e18;
constexpr int64_t kLastDayNumber = 2958465;  // 9999-12-31, counted from 1899-12-30
constexpr int64_t kFirstDayNumber = -693593;  // 0001-01-01

void appendDigits(int64_t value, int width, std::string& out)
{
    char digits[20];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(digits, static_cast<size_t>(width));
}

void appendDateAndTime(const QDate& date, int64_t seconds, std::string& out)
{
    appendDigits(date.year(), 4, out);
    out += '-';
    appendDigits(date.month(), 2, out);
    out += '-';
    appendDigits(date.day(), 2, out);
    out += ' ';
    appendDigits(seconds / 3600, 2, out);
    out += ':';
    appendDigits(seconds / 60 % 60, 2, out);
    out += ':';
    appendDigits(seconds % 60, 2, out);
}

}  // namespace

std::optional<JetDateTime> jetDateTime(double days)
{
    const double wholeDays = std::trunc(days);
    if (!std::isfinite(days) || std::fabs(wholeDays) >= kDayCountLimit)
        return std::nullopt;
    JetDateTime split{static_cast<int64_t>(wholeDays), static_cast<int>(std::llround(std::fabs(days - wholeDays) * kSecondsPerDay))};
    // A time that rounds up to midnight is the start of the next day.
    if (split.seconds >= kSecondsPerDay) {
        split.seconds -= kSecondsPerDay;
        ++split.dayNumber;
    }
    return split;
}

bool appendIsoDateTime(double jetDays, std::string& out)
{
    const std::optional<JetDateTime> split = jetDateTime(jetDays);
    if (!split || split->dayNumber < kFirstDayNumber || split->dayNumber > kLastDayNumber)
        return false;
    appendDateAndTime(QDate(1899, 12, 30).addDays(split->dayNumber), split->seconds, out);
    return true;
}

bool appendIsoExtendedDateTime(int64_t ticks, std::string& out)
{
    if (ticks < 0 || ticks / kTicksPerDay > kLastExtendedDay)
        return false;
    const int64_t timeOfDay = ticks % kTicksPerDay;
    appendDateAndTime(QDate(1, 1, 1).addDays(ticks / kTicksPerDay), timeOfDay / kTicksPerSecond, out);
    if (const int64_t fraction = timeOfDay % kTicksPerSecond; fraction != 0) {
        out += '.';
        appendDigits(fraction, 7, out);
    }
    return true;
}

}  // namespace varnex
