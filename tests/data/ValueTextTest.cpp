#include "data/Variant.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace varnex {
namespace {

// The text of each kind of value under a US and a German locale.
TEST(ValueTextTest, FollowsTheLocaleAndTheDigitRules)
{
    struct Case {
        Variant value;
        const char* us;
        const char* german;
    };
    const std::vector<Case> cases = {
        {Variant(), "", ""},
        {Variant::doubleValue(123456789012345.0), "123456789012345", "123456789012345"},
        {Variant::doubleValue(1e15), "1E+15", "1E+15"},
        {Variant::doubleValue(0.0001), "0.0001", "0,0001"},
        {Variant::doubleValue(0.00001), "1E-05", "1E-05"},
        {Variant::doubleValue(2.0 / 3.0), "0.666666666666667", "0,666666666666667"},
        {Variant::doubleValue(-0.0), "0", "0"},
        {Variant::single(1.0f / 3.0f), "0.3333333", "0,3333333"},
        {Variant::single(16777216.0f), "1.677722E+07", "1,677722E+07"},
        {Variant::currency(12500), "1.25", "1,25"},
        {Variant::currency(-30000), "-3", "-3"},
        {Variant::currency(-1), "-0.0001", "-0,0001"},
        {Variant::decimal({false, 100, 2}), "1", "1"},
        {Variant::decimal({true, 5, 3}), "-0.005", "-0,005"},
        {Variant::decimal({false, 9999999999999999999ull * UInt128{1000000000}, 0}), "9999999999999999999000000000",
         "9999999999999999999000000000"},
        {Variant::date(36526.0), "1/1/2000", "01.01.2000"},
        {Variant::date(36526.75), "1/1/2000 6:00:00 PM", "01.01.2000 18:00:00"},
        {Variant::date(0.5), "12:00:00 PM", "12:00:00"},
        {Variant::date(-1.25), "12/29/1899 6:00:00 AM", "29.12.1899 06:00:00"},
        {Variant::date(2958465.99999), "12/31/9999 11:59:59 PM", "31.12.9999 23:59:59"},
        {Variant::boolean(true), "True", "True"},
        {Variant::integer(-5), "-5", "-5"},
    };
    for (const auto& [locale, column] : {std::pair{QLocale(QLocale::English, QLocale::UnitedStates), 0},
                                         std::pair{QLocale(QLocale::German, QLocale::Germany), 1}}) {
        QLocale::setDefault(locale);
        for (const auto& c : cases) {
            const QString expected = QString::fromUtf8(column == 0 ? c.us : c.german);
            EXPECT_EQ(valueText(c.value), expected) << locale.name().toStdString();
        }
    }
    QLocale::setDefault(QLocale::system());
}

}  // namespace
}  // namespace varnex
