#include "store/DateSeconds.h"

#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace varnex {
namespace {

void secondsOfDatesPortably(const uint8_t* dates, size_t n, int64_t* seconds, uint8_t* exact)
{
    for (size_t i = 0; i < n; ++i) {
        double date;
        std::memcpy(&date, dates + i * sizeof date, sizeof date);
        const std::optional<int64_t> found = secondsOfDate(date);
        seconds[i] = found.value_or(0);
        exact[i] = found.has_value();
    }
}

#if defined(__x86_64__)
// As secondsOfDate(), four dates at a time by the processor's AVX2 instructions, in doubles: every
// count of seconds below 1e9 days' worth is a whole number a double holds exactly, and so is each
// step from it to its days and the seconds past them; the one division rounded, that of those
// seconds by the seconds of a day, is the very one dateOfSeconds() makes.
__attribute__((target("avx2"))) void secondsOfDatesByAvx2(const uint8_t* dates, size_t n, int64_t* seconds, uint8_t* exact)
{
    const __m256d signBit = _mm256_set1_pd(-0.0);
    const __m256d day = _mm256_set1_pd(static_cast<double>(kSecondsPerDay));
    const __m256d perSecond = _mm256_set1_pd(1.0 / static_cast<double>(kSecondsPerDay));
    const __m256d reach = _mm256_set1_pd(1e9);
    const __m256d half = _mm256_set1_pd(0.5);
    const __m256d zero = _mm256_setzero_pd();
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m256d date = _mm256_loadu_pd(reinterpret_cast<const double*>(dates + i * sizeof(double)));
        const __m256d magnitude = _mm256_andnot_pd(signBit, date);
        const __m256d within = _mm256_cmp_pd(magnitude, reach, _CMP_LT_OQ);  // false for a NaN
        // Past the reach, nothing below is of use: zero keeps it a number.
        const __m256d rounded = _mm256_and_pd(within, _mm256_round_pd(_mm256_add_pd(_mm256_mul_pd(magnitude, day), half),
                                                                       _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC));
        // The whole days, by the product with the day's share of a second rounded down: it misses
        // no whole day within the reach (checked for each count of days in it, the count's seconds
        // and the last second of its day), where it is no further than a second's share from one.
        const __m256d days = _mm256_round_pd(_mm256_mul_pd(rounded, perSecond), _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
        const __m256d rest = _mm256_sub_pd(rounded, _mm256_mul_pd(days, day));
        const __m256d back = _mm256_add_pd(days, _mm256_div_pd(rest, day));
        // A negative count gives the negative date; minus zero has no count (its own is plus zero).
        const __m256d negative = _mm256_and_pd(_mm256_cmp_pd(rounded, zero, _CMP_GT_OQ), _mm256_and_pd(date, signBit));
        const __m256d signedBack = _mm256_or_pd(back, negative);
        const __m256d same = _mm256_cmp_pd(signedBack, date, _CMP_EQ_OQ);
        const __m256d minusZero = _mm256_and_pd(_mm256_cmp_pd(date, zero, _CMP_EQ_OQ), _mm256_and_pd(date, signBit));
        const auto found = static_cast<unsigned>(_mm256_movemask_pd(_mm256_and_pd(within, same))) &
                           ~static_cast<unsigned>(_mm256_movemask_pd(minusZero));
        alignas(32) double counts[4];
        _mm256_store_pd(counts, _mm256_or_pd(rounded, _mm256_and_pd(date, signBit)));
        for (unsigned k = 0; k < 4; ++k) {
            exact[i + k] = (found >> k) & 1;
            seconds[i + k] = exact[i + k] ? static_cast<int64_t>(counts[k]) : 0;
        }
    }
    secondsOfDatesPortably(dates + i * sizeof(double), n - i, seconds + i, exact + i);
}

bool hasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
#endif

using Converter = void (*)(const uint8_t*, size_t, int64_t*, uint8_t*);

const Converter kConverter =
#if defined(__x86_64__)
    hasAvx2() ? secondsOfDatesByAvx2 :
#endif
              secondsOfDatesPortably;

}  // namespace

void secondsOfDates(const uint8_t* dates, size_t n, int64_t* seconds, uint8_t* exact)
{
    kConverter(dates, n, seconds, exact);
}

}  // namespace varnex
