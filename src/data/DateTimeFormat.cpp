#include "data/DateTimeFormat.h"

#include "DecimalDigits.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <cstring>
#include <optional>

namespace varnex {
namespace {

using Piece = DateTimeFormat::Piece;
using Pieces = std::vector<Piece>;

// Days from 1970-01-01 to Jet's day 0, 1899-12-30.
constexpr int64_t kJetEpochFromUnixDays = -25569;

// Dates are written directly in years 1 to 9999; Qt writes the others. The day
// range keeps the calendar reckoning far from overflow before the year is known.
constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;
constexpr int64_t kDirectDayRange = 3'000'000;

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
QString quotedLiteral(const QString& format, qsizetype& at)
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

// One field of a date format; nullopt where it is a year of two or three digits.
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
            addLiteral(pieces, quotedLiteral(format, at));
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

// The most bytes the pieces write: names and literals as long as they are, numbers four digits.
size_t mostBytesOf(const Pieces& pieces, size_t amPm)
{
    size_t most = 0;
    for (const Piece& piece : pieces) {
        size_t longest = piece.kind == Piece::AmPm ? amPm : piece.kind == Piece::Literal ? piece.literal.size() : 4;
        for (const std::string& name : piece.names)
            longest = std::max(longest, name.size());
        most += longest;
    }
    return most;
}

char* put(char* at, const std::string& text)
{
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

}  // namespace

QString shortDateFormat(const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(u"yyyy"))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

QString longTimeFormat(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return format.trimmed();
}

DateTimeFormat::DateTimeFormat(const QLocale& locale)
    : locale_(locale), dateFormat_(shortDateFormat(locale)), timeFormat_(longTimeFormat(locale))
{
    // Qt writes the digits of dates in the locale's own (Arabic-Indic, say).
    if (locale_.zeroDigit() != u"0")
        return;
    QString amPmToken;
    std::optional<Pieces> date = compile(locale_, dateFormat_, true, amPmToken);
    std::optional<Pieces> time = compile(locale_, timeFormat_, false, amPmToken);
    if (!date || !time)
        return;
    datePieces_ = std::move(*date);
    timePieces_ = std::move(*time);
    if (!amPmToken.isEmpty()) {
        amText_ = utf8(locale_.toString(QTime(0, 0), amPmToken));
        pmText_ = utf8(locale_.toString(QTime(12, 0), amPmToken));
    }
    mostDateBytes_ = mostBytesOf(datePieces_, 0);
    mostTimeBytes_ = mostBytesOf(timePieces_, std::max(amText_.size(), pmText_.size()));
    direct_ = true;
}

bool DateTimeFormat::mayWriteAnyOf(std::string_view chars) const
{
    if (!direct_)
        return true;
    const auto holds = [chars](const std::string& text) { return text.find_first_of(chars) != std::string::npos; };
    for (const Pieces* pieces : {&datePieces_, &timePieces_}) {
        for (const Piece& piece : *pieces) {
            if (holds(piece.literal) || std::any_of(piece.names.begin(), piece.names.end(), holds))
                return true;
        }
    }
    // A date and its time are written with a blank between them.
    return holds(amText_) || holds(pmText_) || holds(" ");
}

char* DateTimeFormat::writeDate(int64_t dayNumber, char* at) const
{
    if (!direct_ || dayNumber < -kDirectDayRange || dayNumber > kDirectDayRange)
        return nullptr;
    const int64_t unixDays = dayNumber + kJetEpochFromUnixDays;
    const CivilDate date = civilFromUnixDays(unixDays);
    if (date.year < kFirstYear || date.year > kLastYear)
        return nullptr;
    return writeDatePieces(date.year, date.month, date.day, weekdayOf(unixDays), at);
}

void DateTimeFormat::appendDate(int64_t dayNumber, std::string& out) const
{
    if (direct_) {
        digits::Tail tail(out, mostDateBytes_);
        const char* end = writeDate(dayNumber, tail.at());
        tail.end(end);
        if (end)
            return;
    }
    out += utf8(locale_.toString(QDate(1899, 12, 30).addDays(dayNumber), dateFormat_));
}

char* DateTimeFormat::writeDatePieces(int year, int month, int day, int dayOfWeek, char* at) const
{
    for (const Piece& piece : datePieces_) {
        switch (piece.kind) {
        case Piece::MonthName: at = put(at, piece.names[static_cast<size_t>(month - 1)]); break;
        case Piece::DayName: at = put(at, piece.names[static_cast<size_t>(dayOfWeek - 1)]); break;
        case Piece::Day: at = digits::small(at, static_cast<unsigned>(day), piece.width >= 2); break;
        case Piece::Month: at = digits::small(at, static_cast<unsigned>(month), piece.width >= 2); break;
        case Piece::Year:
            at = digits::small(at, static_cast<unsigned>(year / 100), true);
            at = digits::small(at, static_cast<unsigned>(year % 100), true);
            break;
        default: at = put(at, piece.literal); break;
        }
    }
    return at;
}

char* DateTimeFormat::writeTime(int seconds, char* at) const
{
    if (!direct_)
        return nullptr;
    const auto hour = static_cast<unsigned>(seconds / 3600);
    for (const Piece& piece : timePieces_) {
        const bool padded = piece.width >= 2;
        switch (piece.kind) {
        case Piece::Hour24: at = digits::small(at, hour, padded); break;
        case Piece::Hour12: at = digits::small(at, hour == 0 ? 12 : (hour > 12 ? hour - 12 : hour), padded); break;
        case Piece::Minute: at = digits::small(at, static_cast<unsigned>(seconds / 60 % 60), padded); break;
        case Piece::Second: at = digits::small(at, static_cast<unsigned>(seconds % 60), padded); break;
        case Piece::AmPm: at = put(at, hour < 12 ? amText_ : pmText_); break;
        default: at = put(at, piece.literal); break;
        }
    }
    return at;
}

void DateTimeFormat::appendTime(int seconds, std::string& out) const
{
    if (!direct_) {
        out += utf8(locale_.toString(QTime(0, 0).addSecs(seconds), timeFormat_));
        return;
    }
    digits::Tail tail(out, mostTimeBytes_);
    tail.end(writeTime(seconds, tail.at()));
}

}  // namespace varnex
