// The value text of stored values of every type, under several locales, as
// the grid, a copy and the CSV export get it.

#include "store/FieldTypes.h"
#include "data/Recordset.h"
#include "data/ValueFormatter.h"
#include "support/StoredTable.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace varnex {
namespace {

using test::StoredCell;

struct Value {
    FieldType type;
    StoredCell cell;
    uint8_t scale = 0;  // Decimal
};

template <class T>
Value Fixed(FieldType type, T value)
{
    return {type, test::Stored(value)};
}

Value Date(double days)
{
    return Fixed(FieldType::Date, days);
}

Value Decimal(bool negative, UInt128 mantissa, uint8_t scale)
{
    return {FieldType::Numeric, test::StoredDecimal(negative, mantissa), scale};
}

UInt128 Pow10(int n)
{
    UInt128 value = 1;
    for (int i = 0; i < n; ++i)
        value *= 10;
    return value;
}

std::string Utf8(const QString& text)
{
    return text.toStdString();
}

// The text of each row of a one-column table through every way a caller gets
// it: the export's UTF-8 bytes (with its own formatter and without), the
// grid's QString, and valueText of the cell's value; all must be the same.
std::vector<std::string> TextsOf(FieldType type, uint8_t scale, const std::vector<StoredCell>& cells)
{
    std::vector<std::vector<StoredCell>> rows;
    for (const StoredCell& cell : cells)
        rows.push_back({cell});
    Recordset records;
    records.openOver(test::StoredTable({{"V", type, 28, scale}}, rows));
    const std::shared_ptr<const ValueFormatter> formatter = ValueFormatter::forDefaultLocale();
    std::vector<std::string> texts;
    for (int64_t row = 0; row < static_cast<int64_t>(cells.size()); ++row) {
        std::string utf8;
        records.appendCellTextUtf8(row, 0, *formatter, utf8);
        std::string byDefault;
        records.appendCellTextUtf8(row, 0, byDefault);
        EXPECT_EQ(byDefault, utf8);
        EXPECT_EQ(Utf8(records.cellText(row, 0)), utf8);
        EXPECT_EQ(Utf8(valueText(records.value(row, 0))), utf8);
        texts.push_back(std::move(utf8));
    }
    return texts;
}

template <class T>
std::vector<StoredCell> CellsOf(const std::vector<T>& values)
{
    std::vector<StoredCell> cells;
    for (const T value : values)
        cells.push_back(test::Stored(value));
    return cells;
}

std::string TextOf(const Value& value)
{
    return TextsOf(value.type, value.scale, {value.cell}).front();
}

const std::vector<QLocale>& Locales()
{
    static const std::vector<QLocale> locales = {
        QLocale::c(),
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France),
        QLocale(QLocale::Japanese, QLocale::Japan),
        QLocale(QLocale::Korean, QLocale::SouthKorea),  // AM/PM first, and a two-digit year made full
        QLocale(QLocale::Russian, QLocale::Russia),
        QLocale(QLocale::Arabic, QLocale::Egypt),  // other digits: Qt writes the dates
    };
    return locales;
}

class DefaultLocaleGuard {
public:
    ~DefaultLocaleGuard() { QLocale::setDefault(QLocale::system()); }
};

TEST(ValueFormatter, WritesEveryKindOfValueUnderAUsAndAGermanLocale)
{
    const DefaultLocaleGuard restore;
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr int64_t minInt64 = std::numeric_limits<int64_t>::min();
    const UInt128 max28 = Pow10(28) - 1;
    GuidBytes guid;
    for (size_t i = 0; i < guid.size(); ++i)
        guid[i] = static_cast<uint8_t>(i * 17 + 3);
    struct Case {
        Value value;
        const char* us;
        const char* german;
    };
    const std::vector<Case> cases = {
        {{FieldType::Double, test::StoredNull()}, "", ""},
        {{FieldType::VarWChar, test::StoredNull()}, "", ""},
        {Fixed(FieldType::Boolean, uint8_t{1}), "True", "True"},
        {Fixed(FieldType::Boolean, uint8_t{0}), "False", "False"},
        {Fixed(FieldType::UnsignedTinyInt, uint8_t{255}), "255", "255"},
        {Fixed(FieldType::SmallInt, int16_t{-5}), "-5", "-5"},
        {Fixed(FieldType::Integer, int32_t{2147483647}), "2147483647", "2147483647"},
        {Fixed(FieldType::BigInt, minInt64), "-9223372036854775808", "-9223372036854775808"},
        // Double to 15 significant digits, Single to 7; an exponent as E+nn.
        {Fixed(FieldType::Double, 123456789012345.0), "123456789012345", "123456789012345"},
        {Fixed(FieldType::Double, 1e15), "1E+15", "1E+15"},
        {Fixed(FieldType::Double, 9999999999999995.0), "1E+16", "1E+16"},
        {Fixed(FieldType::Double, 0.0001), "0.0001", "0,0001"},
        {Fixed(FieldType::Double, 0.00001), "1E-05", "1E-05"},
        {Fixed(FieldType::Double, 2.0 / 3.0), "0.666666666666667", "0,666666666666667"},
        {Fixed(FieldType::Double, 12345.678901234567), "12345.6789012346", "12345,6789012346"},
        {Fixed(FieldType::Double, -0.0), "0", "0"},
        {Fixed(FieldType::Double, 4.9e-324), "4.94065645841247E-324", "4,94065645841247E-324"},
        {Fixed(FieldType::Double, -inf), "-inf", "-inf"},
        {Fixed(FieldType::Double, std::numeric_limits<double>::quiet_NaN()), "nan", "nan"},
        {Fixed(FieldType::Single, 1.0f / 3.0f), "0.3333333", "0,3333333"},
        {Fixed(FieldType::Single, 16777216.0f), "1.677722E+07", "1,677722E+07"},
        {Fixed(FieldType::Single, 3.4028235e38f), "3.402823E+38", "3,402823E+38"},
        // Currency and Decimal: every digit, no trailing zeros, no sign on zero.
        {Fixed(FieldType::Currency, int64_t{12500}), "1.25", "1,25"},
        {Fixed(FieldType::Currency, int64_t{-30000}), "-3", "-3"},
        {Fixed(FieldType::Currency, int64_t{-1}), "-0.0001", "-0,0001"},
        {Fixed(FieldType::Currency, int64_t{10}), "0.001", "0,001"},
        {Fixed(FieldType::Currency, minInt64), "-922337203685477.5808", "-922337203685477,5808"},
        {Decimal(false, 100, 2), "1", "1"},
        {Decimal(true, 5, 3), "-0.005", "-0,005"},
        {Decimal(true, 0, 5), "0", "0"},
        {Decimal(false, 1, 28), "0.0000000000000000000000000001", "0,0000000000000000000000000001"},
        {Decimal(true, max28, 28), "-0.9999999999999999999999999999", "-0,9999999999999999999999999999"},
        {Decimal(false, max28, 14), "99999999999999.99999999999999", "99999999999999,99999999999999"},
        {Decimal(false, 9999999999999999999ull * UInt128{1000000000}, 0), "9999999999999999999000000000",
         "9999999999999999999000000000"},
        // Dates: day 0 shows only its time, midnight only its date.
        {Date(36526.0), "1/1/2000", "01.01.2000"},
        {Date(36526.75), "1/1/2000 6:00:00 PM", "01.01.2000 18:00:00"},
        {Date(36526.0000001), "1/1/2000", "01.01.2000"},
        {Date(45000.5 + 1.0 / 86400), "3/15/2023 12:00:01 PM", "15.03.2023 12:00:01"},
        {Date(0.0), "12:00:00 AM", "00:00:00"},
        {Date(0.5), "12:00:00 PM", "12:00:00"},
        {Date(-1.25), "12/29/1899 6:00:00 AM", "29.12.1899 06:00:00"},
        {Date(1.9999999), "1/1/1900", "01.01.1900"},
        {Date(0.99999999), "12/31/1899", "31.12.1899"},
        {Date(-0.99999999), "12/31/1899", "31.12.1899"},
        {Date(-1.99999999), "12:00:00 AM", "00:00:00"},
        {Date(-657434.5), "1/1/0100 12:00:00 PM", "01.01.0100 12:00:00"},
        {Date(2958465.99999), "12/31/9999 11:59:59 PM", "31.12.9999 23:59:59"},
        // Beyond years 1 to 9999 as Qt writes them; beyond any date nothing.
        {Date(2958465.999999999), "1/1/10000", "01.01.10000"},
        {Date(-693594.0), "12/31/-0001", "31.12.-0001"},
        {Date(-700000.25), "6/18/-0018 6:00:00 AM", "18.06.-0018 06:00:00"},
        {Date(3.0e6), "9/19/10113", "19.09.10113"},
        {Date(1.0e300), "", ""},
        {Date(inf), "", ""},
        {Fixed(FieldType::GUID, guid), "{36251403-5847-7A69-8B9C-ADBECFE0F102}", "{36251403-5847-7A69-8B9C-ADBECFE0F102}"},
        {{FieldType::LongVarBinary, test::StoredBytes(std::string("\x00\x7f\x80\xff", 4))}, "007F80FF", "007F80FF"},
        {{FieldType::VarWChar, test::StoredBytes("Gr\xc3\xbc\xc3\x9f" "e, \"quoted\"")}, "Gr\xc3\xbc\xc3\x9f" "e, \"quoted\"",
         "Gr\xc3\xbc\xc3\x9f" "e, \"quoted\""},
    };
    for (const bool german : {false, true}) {
        QLocale::setDefault(german ? QLocale(QLocale::German, QLocale::Germany)
                                   : QLocale(QLocale::English, QLocale::UnitedStates));
        for (const Case& c : cases)
            EXPECT_EQ(TextOf(c.value), german ? c.german : c.us) << "type " << static_cast<int>(c.value.type);
    }
}

// A time that rounds up to midnight belongs to the next day: the value shows
// exactly as the day it rounds to does, before and after day 0 alike.
TEST(ValueFormatter, ShowsATimeThatRoundsToMidnightAsTheNextDay)
{
    const DefaultLocaleGuard restore;
    const std::vector<std::pair<double, double>> sameMoments = {
        {0.999999, 1.0},       {0.9999999, 1.0},     {0.99999999, 1.0},       {-0.99999999, 1.0},
        {-0.999999, 1.0},      {-1.99999999, 0.0},   {1.99999999, 2.0},       {-2.99999999, -1.0},
        {36526.99999999, 36527.0}, {-36526.99999999, -36525.0}, {2958464.999999999, 2958465.0},
    };
    for (const QLocale& locale : Locales()) {
        QLocale::setDefault(locale);
        for (const auto& [value, roundsTo] : sameMoments)
            EXPECT_EQ(TextOf(Date(value)), TextOf(Date(roundsTo))) << locale.name().toStdString() << " " << value;
    }
}

// What Qt itself writes for the moment a day count stands for, in the
// locale's short date with the year in full and its long time without a zone.
std::string QtDateText(double days)
{
    const QLocale locale;
    QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    if (!dateFormat.contains(u"yyyy"))
        dateFormat.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    const QString timeFormat = locale.timeFormat(QLocale::LongFormat).remove(u't').trimmed();
    const double wholeDays = std::trunc(days);
    auto day = static_cast<int64_t>(wholeDays);
    auto seconds = static_cast<int>(std::llround(std::fabs(days - wholeDays) * 86400));
    if (seconds == 86400) {
        seconds = 0;
        ++day;
    }
    const QString date = locale.toString(QDate(1899, 12, 30).addDays(day), dateFormat);
    const QString time = locale.toString(QTime(0, 0).addSecs(seconds), timeFormat);
    return Utf8(day == 0 ? time : seconds == 0 ? date : date + u' ' + time);
}

// In every locale Qt knows, dates and times (every weekday and month, the
// ends of the year range, random moments) read as Qt itself writes them.
TEST(ValueFormatter, WritesDatesAsQtDoesInEveryLocale)
{
    const DefaultLocaleGuard restore;
    std::vector<double> days = {0.0,       0.25,      0.5,         0.75,      0.99999,   -0.5,      -1.25,
                                -657434.0, -657434.5, 2958465.0,   2958465.5, -693593.0, -693594.5, 3.5e6,
                                -4.0e6,    36526.0,   36526.75,    45000.5 + 1.0 / 86400};
    for (int month = 0; month < 12; ++month)
        days.push_back(45292.0 + 31 * month + (month + 1) / 24.0);  // 2024-01-01 onwards, one a month
    for (int weekday = 0; weekday < 7; ++weekday)
        days.push_back(45292.0 + weekday + 13.0 / 24);
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> jetDays(-657434.0, 2958466.0);
    for (int i = 0; i < 40; ++i) {
        const double moment = jetDays(random);
        days.insert(days.end(), {moment, std::round(moment), moment - std::trunc(moment)});
    }
    const std::vector<StoredCell> cells = CellsOf(days);

    const QList<QLocale> locales = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    ASSERT_GT(locales.size(), 100);
    for (const QLocale& locale : locales) {
        QLocale::setDefault(locale);
        const std::vector<std::string> texts = TextsOf(FieldType::Date, 0, cells);
        int mismatches = 0;
        for (size_t i = 0; i < days.size(); ++i) {
            const std::string expected = QtDateText(days[i]);
            if (texts[i] != expected && ++mismatches <= 3)
                ADD_FAILURE() << locale.name().toStdString() << " " << days[i] << ": " << texts[i] << " vs " << expected;
        }
    }
}

// A number's text with the locale's decimal separator made a point; the
// exponent is written E+nn.
std::string WithPoint(const std::string& text, const std::string& separator)
{
    EXPECT_EQ(text.find('e'), std::string::npos) << text;
    if (separator == ".")
        return text;
    EXPECT_EQ(text.find('.'), std::string::npos) << text;
    std::string read;
    for (size_t at = 0; at < text.size();) {
        const bool isSeparator = text.compare(at, separator.size(), separator) == 0;
        read += isSeparator ? '.' : text[at];
        at += isSeparator ? separator.size() : 1;
    }
    return read;
}

double ReadReal(const std::string& text)
{
    return std::strtod(text.c_str(), nullptr);
}

// The value of a Currency or Decimal text in units of 10^-scale; nullopt where
// it is not written as every digit, without trailing zeros or a sign on zero.
std::optional<Int128> ReadScaled(const std::string& text, int scale)
{
    const bool negative = !text.empty() && text[0] == '-';
    const std::string number = text.substr(negative ? 1 : 0);
    const size_t point = number.find('.');
    const std::string whole = number.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : number.substr(point + 1);
    const bool signedZero = negative && whole == "0" && fraction.empty();
    const bool canonical = !whole.empty() && (whole.size() == 1 || whole[0] != '0') &&
                           (point == std::string::npos || (!fraction.empty() && fraction.back() != '0')) &&
                           static_cast<int>(fraction.size()) <= scale && !signedZero;
    if (!canonical || whole.find_first_not_of("0123456789") != std::string::npos ||
        fraction.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    Int128 units = 0;
    for (const char digit : whole + fraction + std::string(static_cast<size_t>(scale) - fraction.size(), '0'))
        units = units * 10 + (digit - '0');
    return negative ? -units : units;
}

std::string Rounded(double value, int significantDigits)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", significantDigits, value);
    return buffer;
}

// Whole numbers of every width, at each edge of a digit more or less, as std::to_string writes them.
TEST(ValueFormatter, WritesWholeNumbersOfEveryWidth)
{
    std::vector<int64_t> numbers = {0, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()};
    for (int64_t power = 1;; power *= 10) {
        for (const int64_t near : {power - 1, power, power + 1})
            numbers.insert(numbers.end(), {near, -near});
        if (power > std::numeric_limits<int64_t>::max() / 10)
            break;
    }
    const std::vector<std::string> texts = TextsOf(FieldType::BigInt, 0, CellsOf(numbers));
    for (size_t i = 0; i < numbers.size(); ++i)
        EXPECT_EQ(texts[i], std::to_string(numbers[i]));
}

// printf's %.<digits>g of the value with the locale's separator and an upper-case E.
std::string PrintfText(double value, int significantDigits, const std::string& separator)
{
    if (value == 0)
        return "0";
    std::string text;
    for (const char c : Rounded(value, significantDigits)) {
        if (c == '.')
            text += separator;
        else
            text += c == 'e' ? 'E' : c;
    }
    return text;
}

// Reals are written digit for digit as printf rounds them: short decimals, binary fractions,
// whole numbers, neighbours of powers of ten, the smallest and largest, and random bit patterns.
TEST(ValueFormatter, WritesRealsDigitForDigitAsPrintfRoundsThem)
{
    const DefaultLocaleGuard restore;
    std::mt19937_64 random(20261208);
    std::vector<double> doubles = {std::numeric_limits<double>::min(), std::numeric_limits<double>::max(),
                                   std::numeric_limits<double>::denorm_min(), 1e15, 1e15 - 1, 999999999999999.5,
                                   0.0001, 0.00001, 0.3, 0.1 + 0.2, 1.0 / 3, 2.0 / 3, 123456789012345.0,
                                   1234567890123456.0, 9.999999999999999, 9.99999999999999, std::ldexp(1.0, -17)};
    std::vector<float> singles = {std::numeric_limits<float>::min(), std::numeric_limits<float>::max(), 1e28f,
                                  9.9999994e27f, 0.5f, 1234567.0f, 12345678.0f, 0.1f, 1.0f / 3};
    for (double power = 1e-30; power < 1e30; power *= 10) {
        for (const double mantissa : {1.0, 9.99999999999999, 9.999999999999999, 0.1, 0.3, 1.0000000000000002}) {
            doubles.insert(doubles.end(), {power * mantissa, std::nextafter(power * mantissa, 0.0)});
            singles.push_back(static_cast<float>(power * mantissa));
        }
    }
    for (int i = 0; i < 20000; ++i) {
        const uint64_t bits = random();
        double asDouble;
        std::memcpy(&asDouble, &bits, sizeof asDouble);
        float asFloat;
        const auto low = static_cast<uint32_t>(bits);
        std::memcpy(&asFloat, &low, sizeof asFloat);
        doubles.insert(doubles.end(), {asDouble, static_cast<double>(bits % 2000000) / 1024.0 - 976.0,
                                       static_cast<double>(bits % 100000) / 100.0,
                                       std::ldexp(static_cast<double>(bits % 1000), static_cast<int>(bits >> 59) * 8 - 70),
                                       static_cast<double>(static_cast<int64_t>(bits) >> 12)});
        singles.insert(singles.end(), {asFloat, static_cast<float>(bits % 100000) / 100.0f,
                                       static_cast<float>(bits % 1000003) / 7.0f});
    }
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
        QLocale::setDefault(locale);
        const std::string separator = Utf8(locale.decimalPoint());
        int mismatches = 0;
        const std::vector<std::string> doubleTexts = TextsOf(FieldType::Double, 0, CellsOf(doubles));
        for (size_t i = 0; i < doubles.size(); ++i) {
            if (doubleTexts[i] != PrintfText(doubles[i], 15, separator) && ++mismatches <= 5)
                ADD_FAILURE() << doubles[i] << ": " << doubleTexts[i];
        }
        const std::vector<std::string> singleTexts = TextsOf(FieldType::Single, 0, CellsOf(singles));
        for (size_t i = 0; i < singles.size(); ++i) {
            if (singleTexts[i] != PrintfText(singles[i], 7, separator) && ++mismatches <= 5)
                ADD_FAILURE() << singles[i] << ": " << singleTexts[i];
        }
        EXPECT_EQ(mismatches, 0) << locale.name().toStdString();
    }
}

// Random bit patterns and plausible values of every number type (fixed seed)
// read back as the value they came from under each locale's separator.
TEST(ValueFormatter, WritesNumbersThatReadBackAsTheirValues)
{
    const DefaultLocaleGuard restore;
    std::mt19937_64 random(20261207);
    std::uniform_int_distribution<int> scaleOf(0, 28);
    std::vector<double> doubles;
    std::vector<float> singles;
    std::vector<int64_t> currencies;
    std::vector<std::pair<Value, Int128>> decimals;  // with the value in units of its scale
    for (int i = 0; i < 1500; ++i) {
        const uint64_t bits = random();
        double asDouble;
        std::memcpy(&asDouble, &bits, sizeof asDouble);
        float asFloat;
        std::memcpy(&asFloat, &bits, sizeof asFloat);
        doubles.insert(doubles.end(), {asDouble, static_cast<double>(bits % 1000000007) * 1e-3});
        singles.insert(singles.end(), {asFloat, static_cast<float>(bits % 1000003) / 7.0f});
        currencies.insert(currencies.end(), {static_cast<int64_t>(bits), static_cast<int64_t>(bits % 2000000) - 1000000});
        const UInt128 mantissa = ((static_cast<UInt128>(random()) << 64) | random()) % Pow10(28);
        const bool negative = (bits & 1) != 0;
        decimals.push_back({Decimal(negative, mantissa, static_cast<uint8_t>(scaleOf(random))),
                            negative ? -static_cast<Int128>(mantissa) : static_cast<Int128>(mantissa)});
    }
    for (const QLocale& locale : Locales()) {
        QLocale::setDefault(locale);
        SCOPED_TRACE(locale.name().toStdString());
        const std::string separator = Utf8(locale.decimalPoint());
        int mismatches = 0;
        const auto expect = [&mismatches](bool same, const std::string& text) {
            if (!same && ++mismatches <= 5)
                ADD_FAILURE() << "wrong: " << text;
        };
        const std::vector<std::string> doubleTexts = TextsOf(FieldType::Double, 0, CellsOf(doubles));
        for (size_t i = 0; i < doubles.size(); ++i) {
            const double read = ReadReal(WithPoint(doubleTexts[i], separator));
            const double expected = ReadReal(Rounded(doubles[i], 15));
            expect(read == expected || (std::isnan(read) && std::isnan(expected)), doubleTexts[i]);
        }
        const std::vector<std::string> singleTexts = TextsOf(FieldType::Single, 0, CellsOf(singles));
        for (size_t i = 0; i < singles.size(); ++i) {
            const double read = ReadReal(WithPoint(singleTexts[i], separator));
            const double expected = ReadReal(Rounded(singles[i], 7));
            expect(read == expected || (std::isnan(read) && std::isnan(expected)), singleTexts[i]);
        }
        const std::vector<std::string> currencyTexts = TextsOf(FieldType::Currency, 0, CellsOf(currencies));
        for (size_t i = 0; i < currencies.size(); ++i)
            expect(ReadScaled(WithPoint(currencyTexts[i], separator), 4) == Int128{currencies[i]}, currencyTexts[i]);
        for (const auto& [value, units] : decimals) {
            const std::string text = TextOf(value);
            expect(ReadScaled(WithPoint(text, separator), value.scale) == units, text);
        }
        EXPECT_EQ(mismatches, 0);
    }
}

}  // namespace
}  // namespace varnex
