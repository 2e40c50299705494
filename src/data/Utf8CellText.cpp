#include "data/Utf8CellText.h"

#include "data/ValueText.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <mutex>
#include <optional>

namespace varnex {
namespace {

using Piece = Utf8CellText::Piece;
using Pieces = std::vector<Piece>;

// Days from 1970-01-01 to Jet's day 0, 1899-12-30, and the Julian day of 1970-01-01.
constexpr int64_t kJetEpochFromUnixDays = -25569;
constexpr int64_t kUnixEpochJulianDay = 2440588;

// Outside years 1 to 9999 the text goes through valueText, which knows how Qt writes them.
constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;
constexpr double kFastDayRange = 3.0e6;

struct CivilDate {
    int year, month, day;
};

// The proleptic Gregorian date of a count of days since 1970-01-01, as QDate reckons it.
CivilDate civilFromUnixDays(int64_t days)
{
    const int64_t shifted = days + 719468;  // from 0000-03-01, so that leap days end a year
    const int64_t era = (shifted >= 0 ? shifted : shifted - 146096) / 146097;
    const int64_t dayOfEra = shifted - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    const int month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

// 1 for Monday to 7 for Sunday; 1970-01-01 was a Thursday.
int weekdayOf(int64_t unixDays)
{
    const int64_t fromMonday = (unixDays + 3) % 7;
    return static_cast<int>(fromMonday < 0 ? fromMonday + 7 : fromMonday) + 1;
}

std::string utf8(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

qsizetype repeatCount(const QString& format, qsizetype at)
{
    qsizetype end = at;
    while (end < format.size() && format[end] == format[at])
        ++end;
    return end - at;
}

// A quoted part of a format: 'text', with '' for a quote inside, or '' alone for a quote.
QString QuotedLiteral(const QString& format, qsizetype& at)
{
    ++at;
    if (at < format.size() && format[at] == u'\'') {
        ++at;
        return QStringLiteral("'");
    }
    QString text;
    while (at < format.size()) {
        if (format[at] != u'\'') {
            text += format[at++];
        } else if (at + 1 < format.size() && format[at + 1] == u'\'') {
            text += u'\'';
            at += 2;
        } else {
            break;
        }
    }
    if (at < format.size())
        ++at;
    return text;
}

void addLiteral(Pieces& pieces, const QString& text)
{
    if (text.isEmpty())
        return;
    if (pieces.empty() || pieces.back().kind != Piece::Literal)
        pieces.push_back({Piece::Literal, 1, {}, {}});
    pieces.back().literal += utf8(text);
}

// Month or weekday names as Qt writes them for the token (MMM, MMMM, ddd, dddd).
Piece namesPiece(const QLocale& locale, const QString& token)
{
    Piece piece{token[0] == u'M' ? Piece::MonthName : Piece::DayName, 1, {}, {}};
    const int count = piece.kind == Piece::MonthName ? 12 : 7;
    for (int i = 1; i <= count; ++i) {
        // 2024-01-01 was a Monday.
        const QDate date = piece.kind == Piece::MonthName ? QDate(2000, i, 1) : QDate(2024, 1, i);
        piece.names.push_back(utf8(locale.toString(date, token)));
    }
    return piece;
}

// One field of a date format; nullopt where it is a two-digit year.
std::optional<Piece> dateField(const QLocale& locale, QChar c, qsizetype repeat, qsizetype& consumed)
{
    consumed = repeat;
    if (c == u'y') {
        if (repeat == 1)
            return Piece{};  // a lone 'y' is text
        consumed = std::min<qsizetype>(repeat, 4);
        return repeat >= 4 ? std::optional(Piece{Piece::Year, 4, {}, {}}) : std::nullopt;
    }
    if (c == u'M' || c == u'd') {
        consumed = std::min<qsizetype>(repeat, 4);
        if (consumed > 2)
            return namesPiece(locale, QString(consumed, c));
        return Piece{c == u'M' ? Piece::Month : Piece::Day, static_cast<uint8_t>(consumed), {}, {}};
    }
    return Piece{};
}

std::optional<Piece> timeField(const QString& format, qsizetype at, qsizetype repeat, qsizetype& consumed)
{
    const QChar c = format[at];
    consumed = std::min<qsizetype>(repeat, 2);
    const auto width = static_cast<uint8_t>(consumed);
    switch (c.unicode()) {
    case 'h': return Piece{Piece::Hour12, width, {}, {}};  // 24-hour unless the format has AM/PM
    case 'H': return Piece{Piece::Hour24, width, {}, {}};
    case 'm': return Piece{Piece::Minute, width, {}, {}};
    case 's': return Piece{Piece::Second, width, {}, {}};
    case 'a':
    case 'A':
        consumed = (at + 1 < format.size() && format[at + 1].toLower() == u'p') ? 2 : 1;
        return Piece{Piece::AmPm, 1, {}, {}};
    case 'z':
    case 't': return std::nullopt;
    default: consumed = repeat; return Piece{};
    }
}

// The format as pieces; nullopt where it has a part only Qt writes. The AM/PM
// token, if any, is returned so that its texts can be taken from Qt as written.
std::optional<Pieces> compile(const QLocale& locale, const QString& format, bool isDate, QString& amPmToken)
{
    Pieces pieces;
    qsizetype at = 0;
    while (at < format.size()) {
        if (format[at] == u'\'') {
            addLiteral(pieces, QuotedLiteral(format, at));
            continue;
        }
        const qsizetype repeat = repeatCount(format, at);
        qsizetype consumed = repeat;
        const std::optional<Piece> field = isDate ? dateField(locale, format[at], repeat, consumed)
                                                  : timeField(format, at, repeat, consumed);
        if (!field)
            return std::nullopt;
        if (field->kind == Piece::Literal)
            addLiteral(pieces, format.mid(at, consumed));
        else
            pieces.push_back(*field);
        if (field->kind == Piece::AmPm)
            amPmToken = format.mid(at, consumed);
        at += consumed;
    }
    const bool twelveHour = !amPmToken.isEmpty();
    for (Piece& piece : pieces) {
        if (piece.kind == Piece::Hour12 && !twelveHour)
            piece.kind = Piece::Hour24;
    }
    return pieces;
}

void appendNumber(int value, int width, std::string& out)
{
    if (width >= 2 && value < 10)
        out += '0';
    char buffer[12];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendYear(int year, std::string& out)
{
    for (int divisor = 1000; divisor > 0; divisor /= 10)
        out += static_cast<char>('0' + year / divisor % 10);
}

// Writes the decimal digits of value just before `end`; returns where they start.
template <class Unsigned>
char* digitsBefore(char* end, Unsigned value)
{
    do {
        *--end = static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    } while (value != 0);
    return end;
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendHex(unsigned value, int digits, std::string& out)
{
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += kHexDigits[(value >> shift) & 0xF];
}

}  // namespace

Utf8CellText::Utf8CellText() : decimalSeparator_(utf8(locale_.decimalPoint()))
{
    QString amPmToken;
    std::optional<Pieces> date = compile(locale_, shortDateFormat(locale_), true, amPmToken);
    std::optional<Pieces> time = compile(locale_, longTimeFormat(locale_), false, amPmToken);
    if (!date || !time)
        return;
    dateFormat_ = std::move(*date);
    timeFormat_ = std::move(*time);
    if (!amPmToken.isEmpty()) {
        amText_ = utf8(locale_.toString(QTime(0, 0), amPmToken));
        pmText_ = utf8(locale_.toString(QTime(12, 0), amPmToken));
    }
    compiledDates_ = true;

    // Qt's own text for a spread of dates and times must come out the same,
    // else (other digits, say) every date goes through valueText.
    const QString dateFormat = shortDateFormat(locale_);
    std::vector<QDate> dateProbes = {QDate(100, 2, 9), QDate(1899, 12, 30), QDate(2000, 1, 1), QDate(2024, 11, 23),
                                     QDate(9999, 12, 31)};
    for (int day = 1; day <= 7; ++day)
        dateProbes.push_back(QDate(2024, 1, day));
    for (const QDate probe : dateProbes) {
        std::string mine;
        const int dayOfWeek = weekdayOf(probe.toJulianDay() - kUnixEpochJulianDay);
        appendDatePart(probe.year(), probe.month(), probe.day(), dayOfWeek, mine);
        if (mine != utf8(locale_.toString(probe, dateFormat)))
            compiledDates_ = false;
    }
    const QString timeFormat = longTimeFormat(locale_);
    for (const QTime probe : {QTime(0, 0), QTime(1, 2, 3), QTime(11, 59, 59), QTime(12, 0), QTime(13, 5, 9),
                              QTime(23, 59, 59)}) {
        std::string mine;
        appendTimePart(probe.msecsSinceStartOfDay() / 1000, mine);
        if (mine != utf8(locale_.toString(probe, timeFormat)))
            compiledDates_ = false;
    }
}

std::shared_ptr<const Utf8CellText> Utf8CellText::forDefaultLocale()
{
    static std::mutex mutex;
    static std::shared_ptr<const Utf8CellText> cached;
    const QLocale current;
    const std::lock_guard lock(mutex);
    if (!cached || !(cached->locale() == current))
        cached = std::make_shared<const Utf8CellText>();
    return cached;
}

void Utf8CellText::appendInteger(int64_t value, std::string& out)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void Utf8CellText::appendReal(double value, int significantDigits, std::string& out) const
{
    if (value == 0) {
        out += '0';
        return;
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, significantDigits);
    for (const char* c = buffer; c != result.ptr; ++c) {
        if (*c == '.')
            out += decimalSeparator_;
        else
            out += *c == 'e' ? 'E' : *c;
    }
}

void Utf8CellText::appendCurrency(int64_t tenThousandths, std::string& out) const
{
    const bool negative = tenThousandths < 0;
    const auto magnitude = negative ? static_cast<UInt128>(-static_cast<Int128>(tenThousandths))
                                    : static_cast<UInt128>(tenThousandths);
    appendScaled(negative, magnitude, 4, out);
}

void Utf8CellText::appendDecimal(const DecimalValue& value, std::string& out) const
{
    appendScaled(value.negative, value.mantissa, value.scale, out);
}

void Utf8CellText::appendScaled(bool negative, UInt128 magnitude, int scale, std::string& out) const
{
    char digits[48];  // a 128-bit magnitude has at most 39
    // 64-bit division is several times faster, and every Currency value fits.
    char* first = magnitude <= std::numeric_limits<uint64_t>::max()
                      ? digitsBefore(digits + sizeof digits, static_cast<uint64_t>(magnitude))
                      : digitsBefore(digits + sizeof digits, magnitude);
    const int count = static_cast<int>(digits + sizeof digits - first);
    const int wholeCount = count - scale;
    const char* fraction = wholeCount > 0 ? first + wholeCount : first;
    const char* fractionEnd = digits + sizeof digits;
    while (fractionEnd > fraction && fractionEnd[-1] == '0')
        --fractionEnd;
    const bool wholeIsZero = wholeCount <= 0 || (wholeCount == 1 && *first == '0');
    const bool hasFraction = fractionEnd > fraction;
    if (negative && !(wholeIsZero && !hasFraction))
        out += '-';
    if (wholeCount > 0)
        out.append(first, static_cast<size_t>(wholeCount));
    else
        out += '0';
    if (!hasFraction)
        return;
    out += decimalSeparator_;
    if (wholeCount < 0)
        out.append(static_cast<size_t>(-wholeCount), '0');
    out.append(fraction, fractionEnd);
}

void Utf8CellText::appendDate(double days, std::string& out) const
{
    const double wholeDays = std::trunc(days);
    if (!compiledDates_ || !std::isfinite(days) || std::fabs(wholeDays) > kFastDayRange) {
        out += utf8(dateText(days));
        return;
    }
    int seconds = static_cast<int>(std::llround(std::fabs(days - wholeDays) * 86400.0));
    auto dayNumber = static_cast<int64_t>(wholeDays);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++dayNumber;
    }
    if (wholeDays == 0) {
        appendTimePart(seconds, out);
        return;
    }
    const CivilDate date = civilFromUnixDays(dayNumber + kJetEpochFromUnixDays);
    if (date.year < kFirstYear || date.year > kLastYear) {
        out += utf8(dateText(days));
        return;
    }
    appendDatePart(date.year, date.month, date.day, weekdayOf(dayNumber + kJetEpochFromUnixDays), out);
    if (seconds != 0) {
        out += ' ';
        appendTimePart(seconds, out);
    }
}

void Utf8CellText::appendDatePart(int year, int month, int day, int dayOfWeek, std::string& out) const
{
    for (const Piece& piece : dateFormat_) {
        switch (piece.kind) {
        case Piece::MonthName: out += piece.names[static_cast<size_t>(month - 1)]; break;
        case Piece::DayName: out += piece.names[static_cast<size_t>(dayOfWeek - 1)]; break;
        case Piece::Day: appendNumber(day, piece.width, out); break;
        case Piece::Month: appendNumber(month, piece.width, out); break;
        case Piece::Year: appendYear(year, out); break;
        default: out += piece.literal; break;
        }
    }
}

void Utf8CellText::appendTimePart(int seconds, std::string& out) const
{
    const int hour = seconds / 3600;
    for (const Piece& piece : timeFormat_) {
        switch (piece.kind) {
        case Piece::Hour24: appendNumber(hour, piece.width, out); break;
        case Piece::Hour12: appendNumber(hour == 0 ? 12 : (hour > 12 ? hour - 12 : hour), piece.width, out); break;
        case Piece::Minute: appendNumber(seconds / 60 % 60, piece.width, out); break;
        case Piece::Second: appendNumber(seconds % 60, piece.width, out); break;
        case Piece::AmPm: out += hour < 12 ? amText_ : pmText_; break;
        default: out += piece.literal; break;
        }
    }
}

void Utf8CellText::appendGuid(const GuidBytes& b, std::string& out)
{
    out += '{';
    appendHex(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<unsigned>(b[3]) << 24), 8, out);
    out += '-';
    appendHex(b[4] | (b[5] << 8), 4, out);
    out += '-';
    appendHex(b[6] | (b[7] << 8), 4, out);
    out += '-';
    for (size_t i = 8; i < 16; ++i) {
        if (i == 10)
            out += '-';
        appendHex(b[i], 2, out);
    }
    out += '}';
}

void Utf8CellText::appendBinary(const char* bytes, size_t length, std::string& out)
{
    for (size_t i = 0; i < length; ++i)
        appendHex(static_cast<uint8_t>(bytes[i]), 2, out);
}

}  // namespace varnex
