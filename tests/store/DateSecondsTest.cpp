// Dates taken as whole seconds many at once: the same answer for each as one at a time, on the
// dates at the edges of what has a count (minus zero, fractions of a second, the reach, NaNs and
// infinities) and on random ones, whole seconds and any bits, in runs of every length from any
// byte (the vector steps and what is left after them).

#include "store/DateSeconds.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace varnex {
namespace {

TEST(DateSecondsTest, ManyAtOnceAsOneAtATime)
{
    const double day = static_cast<double>(kSecondsPerDay);
    std::vector<double> dates = {0.0, -0.0, 1.0, -1.25, 43831.5, 1.0 / day, -1.0 / day, 0.5 / day, 0.49 / day, 43831.123456789,
                                 2958465.0 + 86399.0 / day, -657434.0, 1e9, -1e9, std::nextafter(1e9, 0.0), 999999999.0 + 86399.0 / day,
                                 std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                                 std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::denorm_min(),
                                 std::numeric_limits<double>::max(), 40000.0000001};
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937_64 random(seed);
    for (int i = 0; i < 20000; ++i) {
        const auto seconds = static_cast<int64_t>(random() % 200'000'000'000) - 100'000'000'000;
        const double whole = static_cast<double>(seconds / kSecondsPerDay) +
                             static_cast<double>(seconds % kSecondsPerDay) / day;  // also a sum not exactly the count's
        switch (i % 4) {
        case 0: dates.push_back(dateOfSeconds(seconds)); break;
        case 1: dates.push_back(whole); break;
        case 2: dates.push_back(std::nextafter(dateOfSeconds(seconds), random() % 2 ? 1e10 : -1e10)); break;
        default: dates.push_back(std::bit_cast<double>(random())); break;
        }
    }
    std::vector<uint8_t> bytes(1 + dates.size() * sizeof(double));
    std::memcpy(bytes.data() + 1, dates.data(), dates.size() * sizeof(double));  // not where a double would lie
    for (const size_t length : {size_t{0}, size_t{1}, size_t{3}, size_t{4}, size_t{5}, size_t{7}, dates.size()}) {
        for (size_t from = 0; from + length <= dates.size(); from += length == 0 ? dates.size() + 1 : std::max<size_t>(length, 997)) {
            std::vector<int64_t> seconds(length + 1, -1);
            std::vector<uint8_t> exact(length + 1, 2);
            secondsOfDates(bytes.data() + 1 + from * sizeof(double), length, seconds.data(), exact.data());
            for (size_t k = 0; k < length; ++k) {
                const std::optional<int64_t> one = secondsOfDate(dates[from + k]);
                ASSERT_EQ(exact[k], one.has_value() ? 1 : 0) << "date " << dates[from + k] << " at " << from + k;
                ASSERT_EQ(seconds[k], one.value_or(0)) << "date " << dates[from + k];
            }
            EXPECT_EQ(seconds[length], -1);  // nothing written past the run
            EXPECT_EQ(exact[length], 2);
        }
    }
}

}  // namespace
}  // namespace varnex
