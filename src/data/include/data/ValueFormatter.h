#pragma once
// The text of a value as the grid shows it, a copy takes it and the CSV export
// writes it, under the user's locale, written straight as UTF-8 bytes. The
// locale's decimal separator and date formats are resolved once, when the
// formatter is built, not once per value.

#include "data/DateTimeFormat.h"
#include "data/Variant.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>

namespace varnex {

class ValueFormatter {
public:
    // For QLocale()'s locale.
    ValueFormatter();
    explicit ValueFormatter(const QLocale& locale);

    // The one for the current default locale, built again only when that changes.
    static std::shared_ptr<const ValueFormatter> forDefaultLocale();

    const QLocale& locale() const { return locale_; }

    // Null writes nothing.
    void appendValue(const Variant& value, std::string& out) const;

    static void appendBoolean(bool value, std::string& out);
    static void appendInteger(int64_t value, std::string& out);
    // 15 significant digits for Double, 7 for Single.
    void appendReal(double value, int significantDigits, std::string& out) const;
    void appendCurrency(int64_t tenThousandths, std::string& out) const;
    void appendDecimal(const DecimalValue& value, std::string& out) const;
    // Jet's day count: days since 1899-12-30, the time of day as the fraction.
    void appendDate(double days, std::string& out) const;
    // Date/Time Extended: 100 ns ticks since 0001-01-01.
    void appendExtendedDate(int64_t ticks, std::string& out) const;
    static void appendGuid(const GuidBytes& bytes, std::string& out);
    static void appendBinary(const char* bytes, size_t length, std::string& out);

private:
    void appendScaled(bool negative, UInt128 magnitude, int scale, std::string& out) const;

    QLocale locale_;
    std::string decimalSeparator_;
    DateTimeFormat dateTime_;
};

// The same text as a QString, under the default locale; Null gives "".
QString valueText(const Variant& value);

}  // namespace varnex
