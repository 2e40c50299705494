#pragma once
// The value text of stored values written straight as UTF-8 bytes, the same
// bytes as valueText(...).toUtf8(), without a QString or a QLocale per value.
// The locale's separators and date format are resolved once, when it is built.

#include "data/Variant.h"

#include <QLocale>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace varnex {

class Utf8CellText {
public:
    // For QLocale()'s locale; valueText follows the same one.
    Utf8CellText();

    // The one for the current default locale, built again only when that changes.
    static std::shared_ptr<const Utf8CellText> forDefaultLocale();

    const QLocale& locale() const { return locale_; }
    // False where the locale's date format has parts written only by Qt (names, other digits).
    bool writesDatesDirectly() const { return compiledDates_; }

    static void appendInteger(int64_t value, std::string& out);
    void appendReal(double value, int significantDigits, std::string& out) const;
    void appendCurrency(int64_t tenThousandths, std::string& out) const;
    void appendDecimal(const DecimalValue& value, std::string& out) const;
    void appendDate(double days, std::string& out) const;
    static void appendGuid(const GuidBytes& bytes, std::string& out);
    static void appendBinary(const char* bytes, size_t length, std::string& out);

    // One part of a compiled date or time format.
    struct Piece {
        enum Kind : uint8_t { Literal, Day, Month, Year, Hour24, Hour12, Minute, Second, AmPm, MonthName, DayName };
        Kind kind = Literal;
        uint8_t width = 1;               // 2: zero-padded to two digits
        std::string literal;             // Literal
        std::vector<std::string> names;  // MonthName: January first; DayName: Monday first
    };

private:
    void appendScaled(bool negative, UInt128 magnitude, int scale, std::string& out) const;
    void appendDatePart(int year, int month, int day, int dayOfWeek, std::string& out) const;
    void appendTimePart(int seconds, std::string& out) const;

    QLocale locale_;
    std::string decimalSeparator_;
    std::string amText_, pmText_;
    std::vector<Piece> dateFormat_, timeFormat_;
    bool compiledDates_ = false;  // false: dates go through valueText
};

}  // namespace varnex
