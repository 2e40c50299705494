#pragma once
// A locale's formats for the date and the time of day in a value's text: its
// short date with the year in full (a two-digit year would make dates a
// century apart look the same) and its long time without a time zone (a
// stored time has none). Compiled once into parts written straight as UTF-8;
// where the locale writes other digits or a format has a part that only Qt
// writes, Qt writes the text instead.

#include <QLocale>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnex {

// The short date with the year in full, and the long time without a time zone.
QString shortDateFormat(const QLocale& locale);
QString longTimeFormat(const QLocale& locale);

class DateTimeFormat {
public:
    explicit DateTimeFormat(const QLocale& locale);

    // The date of a Jet day number (days since 1899-12-30, negative before).
    void appendDate(int64_t dayNumber, std::string& out) const;
    // A time of day, 0 to 86399 seconds after midnight.
    void appendTime(int seconds, std::string& out) const;
    // The same written at `at`, which has room for mostBytes(); nullptr where Qt writes it
    // (another script's digits, a part of the format only Qt writes, a year out of 1 to 9999).
    char* writeDate(int64_t dayNumber, char* at) const;
    char* writeTime(int seconds, char* at) const;
    // The most a date, a blank and a time take; 0 where Qt writes them.
    size_t mostBytes() const { return direct_ ? mostDateBytes_ + 1 + mostTimeBytes_ : 0; }
    // Whether a date or time written may hold any of the characters (true where Qt writes them).
    bool mayWriteAnyOf(std::string_view chars) const;

    // One part of a compiled format.
    struct Piece {
        enum Kind : uint8_t { Literal, Day, Month, Year, Hour24, Hour12, Minute, Second, AmPm, MonthName, DayName };
        Kind kind = Literal;
        uint8_t width = 1;               // 2: zero-padded to two digits
        std::string literal;             // Literal
        std::vector<std::string> names;  // MonthName: January first; DayName: Monday first
    };

private:
    char* writeDatePieces(int year, int month, int day, int dayOfWeek, char* at) const;

    QLocale locale_;
    QString dateFormat_, timeFormat_;   // as Qt reads them
    std::vector<Piece> datePieces_, timePieces_;
    std::string amText_, pmText_;
    size_t mostDateBytes_ = 0, mostTimeBytes_ = 0;  // the most the pieces write
    bool direct_ = false;  // false: Qt writes every date and time
};

}  // namespace varnex
