#pragma once
// The text of a value as the grid shows it, a copy takes it and the CSV export
// writes it, under the user's locale, written straight as UTF-8 bytes. The
// locale's decimal separator and date formats are resolved once, when the
// formatter is built, not once per value.

#include "data/DateTimeFormat.h"
#include "store/FieldTypes.h"
#include "store/Variant.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

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

    // Writing straight into a buffer, for callers that write millions of values: at has room
    // for mostNumberBytes() (numbers) or mostDateBytes() (dates); each returns the end.
    size_t mostNumberBytes() const { return 48 + decimalSeparator_.size(); }
    static char* writeInteger(int64_t value, char* at);
    char* writeReal(double value, int significantDigits, char* at) const;
    char* writeCurrency(int64_t tenThousandths, char* at) const;
    // nullptr, having written nothing that counts, where Qt writes the date (see DateTimeFormat).
    char* writeDate(double days, char* at) const;
    size_t mostDateBytes() const;  // 0: Qt writes every date

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

    // Whether the text of a value of the type may hold any of the characters: false only where
    // it surely does not (numbers whose decimal separator is none of them, dates whose formats
    // write none of them).
    bool mayWriteAnyOf(FieldType type, std::string_view chars) const;
    static void appendBinary(const char* bytes, size_t length, std::string& out);

private:
    char* writeScaled(bool negative, UInt128 magnitude, int scale, char* at) const;

    QLocale locale_;
    std::string decimalSeparator_;
    DateTimeFormat dateTime_;
};

// The same text as a QString, under the default locale; Null gives "".
QString valueText(const Variant& value);

}  // namespace varnex
