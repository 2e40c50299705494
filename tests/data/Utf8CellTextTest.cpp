#include "data/CellValue.h"
#include "data/FieldTypes.h"
#include "data/TableData.h"
#include "data/ValueText.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace varnex {
namespace {

// One stored value: its column type and its bytes as the table holds them.
struct Stored {
    int16_t type;
    std::string bytes;
    uint8_t scale = 0;
};

template <class T>
Stored Fixed(int16_t type, T value)
{
    return {type, std::string(reinterpret_cast<const char*>(&value), sizeof value)};
}

Stored DecimalStored(bool negative, UInt128 mantissa, uint8_t scale)
{
    std::string bytes(1, negative ? '\1' : '\0');
    bytes.append(reinterpret_cast<const char*>(&mantissa), sizeof mantissa);
    return {fieldtype::Numeric, bytes, scale};
}

UInt128 Pow10(int n)
{
    UInt128 value = 1;
    for (int i = 0; i < n; ++i)
        value *= 10;
    return value;
}

// The export's UTF-8 text of the value beside the shared text, as UTF-8.
struct Texts {
    std::string fast;
    std::string shared;
};

Texts BothTexts(const Stored& value)
{
    TableData table({{"V", value.type, 28, value.scale}});
    const bool stored = isVariableLength(value.type) ? table.putBytes(0, value.bytes.data(), value.bytes.size())
                                                      : table.putFixed(0, value.bytes.data());
    EXPECT_TRUE(stored);
    table.endRow();
    Texts texts;
    appendStoredTextUtf8(table, 0, 0, texts.fast);
    const QByteArray shared = storedText(table, 0, 0).toUtf8();
    texts.shared.assign(shared.constData(), static_cast<size_t>(shared.size()));
    return texts;
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
        QLocale(QLocale::Arabic, QLocale::Egypt),  // other digits: dates take the shared path
    };
    return locales;
}

class DefaultLocaleGuard {
public:
    ~DefaultLocaleGuard() { QLocale::setDefault(QLocale::system()); }
};

std::vector<Stored> EdgeValues()
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<Stored> values;
    for (const int64_t v : {int64_t{0}, int64_t{-1}, int64_t{1}, std::numeric_limits<int64_t>::min(),
                            std::numeric_limits<int64_t>::max()}) {
        values.push_back(Fixed(fieldtype::BigInt, v));
        values.push_back(Fixed(fieldtype::Currency, v));
    }
    for (const int64_t v : {int64_t{12500}, int64_t{-30000}, int64_t{-1}, int64_t{10}, int64_t{-99990}, int64_t{1234567}})
        values.push_back(Fixed(fieldtype::Currency, v));
    values.push_back(Fixed(fieldtype::SmallInt, int16_t{-32768}));
    values.push_back(Fixed(fieldtype::Integer, int32_t{2147483647}));
    values.push_back(Fixed(fieldtype::UnsignedTinyInt, uint8_t{255}));
    values.push_back(Fixed(fieldtype::Boolean, uint8_t{1}));
    values.push_back(Fixed(fieldtype::Boolean, uint8_t{0}));
    for (const double v : {0.0, -0.0, 1.0, -1.0, 0.1, 2.0 / 3.0, -2.0 / 3.0, 1e15, 999999999999999.0,
                           9999999999999995.0, 123456789012345.6, 0.0001, 0.00001, 1e-300, -1e-300, 4.9e-324,
                           1.7976931348623157e308, -1.7976931348623157e308, 1e21, 12345.678901234567, inf, -inf,
                           nan, -nan}) {
        values.push_back(Fixed(fieldtype::Double, v));
        values.push_back(Fixed(fieldtype::Single, static_cast<float>(v)));
    }
    for (const float v : {1.0f / 3.0f, 16777216.0f, 9999999.0f, 99999995.0f, 1e-7f, 1.4e-45f, 3.4028235e38f})
        values.push_back(Fixed(fieldtype::Single, v));
    for (const double days :
         {0.0, -0.0, 0.5, 0.75, 0.999999, 0.9999999, 0.99999999, 1.0, -1.0, -1.25, -0.5, 1.999999999, 36526.0,
          36526.75, 36526.0000001, 45000.5 + 1.0 / 86400, 2958465.0, 2958465.99999, 2958465.999999999,
          -657434.0, -657434.5, -693593.0, -693594.0, -700000.25, 3.0e6, 5.0e6, 1.0e12, 1.0e300, -1.0e300, inf,
          nan})
        values.push_back(Fixed(fieldtype::Date, days));
    const UInt128 max28 = Pow10(28) - 1;
    for (const auto& [negative, mantissa, scale] :
         std::vector<std::tuple<bool, UInt128, uint8_t>>{{false, 0, 0},
                                                         {true, 0, 5},
                                                         {false, 100, 2},
                                                         {true, 5, 3},
                                                         {false, max28, 0},
                                                         {true, max28, 28},
                                                         {false, max28, 14},
                                                         {false, 1, 28},
                                                         {true, Pow10(27), 28},
                                                         {false, 120, 0}})
        values.push_back(DecimalStored(negative, mantissa, scale));
    uint8_t guid[16];
    for (int i = 0; i < 16; ++i)
        guid[i] = static_cast<uint8_t>(i * 17 + 3);
    values.push_back({fieldtype::GUID, std::string(reinterpret_cast<const char*>(guid), 16)});
    values.push_back({fieldtype::LongVarBinary, std::string("\x00\x7f\x80\xff", 4)});
    values.push_back({fieldtype::VarWChar, "Gr\xc3\xbc\xc3\x9f" "e, \"quoted\""});
    return values;
}

// Every kind of stored value, including the awkward ones, under each locale:
// the direct UTF-8 text is the shared text byte for byte.
TEST(Utf8CellTextTest, EqualsTheSharedTextForEdgeValues)
{
    const DefaultLocaleGuard restore;
    const std::vector<Stored> values = EdgeValues();
    for (const QLocale& locale : Locales()) {
        QLocale::setDefault(locale);
        EXPECT_EQ(Utf8CellText::forDefaultLocale()->writesDatesDirectly(), locale.language() != QLocale::Arabic)
            << locale.name().toStdString();
        for (const Stored& value : values) {
            const Texts texts = BothTexts(value);
            EXPECT_EQ(texts.fast, texts.shared) << locale.name().toStdString() << " type " << value.type;
        }
    }
}

// What a user sees for a few values, so that both paths cannot drift together.
TEST(Utf8CellTextTest, WritesTheLocaleTexts)
{
    const DefaultLocaleGuard restore;
    struct Case {
        QLocale locale;
        Stored value;
        const char* text;
    };
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    const std::vector<Case> cases = {
        {us, Fixed(fieldtype::Date, 36526.75), "1/1/2000 6:00:00 PM"},
        {us, Fixed(fieldtype::Date, 0.0), "12:00:00 AM"},
        {us, Fixed(fieldtype::Date, -1.25), "12/29/1899 6:00:00 AM"},
        {us, Fixed(fieldtype::Date, 1.9999999), "1/1/1900"},
        {german, Fixed(fieldtype::Date, 2958465.99999), "31.12.9999 23:59:59"},
        {german, Fixed(fieldtype::Date, 1.0e300), ""},
        {german, Fixed(fieldtype::Currency, int64_t{-1}), "-0,0001"},
        {german, Fixed(fieldtype::Double, 1e-5), "1E-05"},
        {german, DecimalStored(true, 5, 3), "-0,005"},
        {us, Fixed(fieldtype::Single, 16777216.0f), "1.677722E+07"},
    };
    for (const Case& c : cases) {
        QLocale::setDefault(c.locale);
        const Texts texts = BothTexts(c.value);
        EXPECT_EQ(texts.fast, c.text);
        EXPECT_EQ(texts.shared, c.text);
    }
}

// Random bit patterns and plausible values of every fixed-size type (fixed seed).
TEST(Utf8CellTextTest, EqualsTheSharedTextForRandomValues)
{
    const DefaultLocaleGuard restore;
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> jetDays(-657434.0, 2958466.0);
    std::uniform_int_distribution<int> scale(0, 28);
    std::vector<Stored> values;
    for (int i = 0; i < 1500; ++i) {
        const uint64_t bits = random();
        double asDouble;
        std::memcpy(&asDouble, &bits, sizeof asDouble);
        float asFloat;
        std::memcpy(&asFloat, &bits, sizeof asFloat);
        const double days = jetDays(random);
        values.push_back(Fixed(fieldtype::Double, asDouble));
        values.push_back(Fixed(fieldtype::Double, days * 1e-3));
        values.push_back(Fixed(fieldtype::Single, asFloat));
        values.push_back(Fixed(fieldtype::Single, static_cast<float>(days)));
        values.push_back(Fixed(fieldtype::Currency, static_cast<int64_t>(bits)));
        values.push_back(Fixed(fieldtype::Currency, static_cast<int64_t>(bits % 2000000) - 1000000));
        values.push_back(Fixed(fieldtype::Date, days));
        values.push_back(Fixed(fieldtype::Date, std::round(days)));
        values.push_back(Fixed(fieldtype::Date, days - std::trunc(days)));
        const UInt128 mantissa = ((static_cast<UInt128>(random()) << 64) | random()) % Pow10(28);
        values.push_back(DecimalStored((bits & 1) != 0, mantissa, static_cast<uint8_t>(scale(random))));
    }
    for (const QLocale& locale : Locales()) {
        QLocale::setDefault(locale);
        int mismatches = 0;
        for (const Stored& value : values) {
            const Texts texts = BothTexts(value);
            if (texts.fast != texts.shared && ++mismatches <= 5)
                ADD_FAILURE() << locale.name().toStdString() << " type " << value.type << ": " << texts.fast
                              << " vs " << texts.shared;
        }
        EXPECT_EQ(mismatches, 0) << locale.name().toStdString();
    }
}

}  // namespace
}  // namespace varnex
