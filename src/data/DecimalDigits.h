#pragma once
// Decimal digits written straight into a character buffer, two at a time from a table:
// the value texts of numbers and dates are written this way, millions to an export.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

namespace varnex::digits {

inline constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes value's digits so that they end just before end; returns where they start.
inline char* before(char* end, uint64_t value)
{
    while (value >= 100) {
        const uint64_t pair = value % 100;
        value /= 100;
        end -= 2;
        std::memcpy(end, kPairs + 2 * pair, 2);
    }
    if (value >= 10) {
        end -= 2;
        std::memcpy(end, kPairs + 2 * value, 2);
    } else {
        *--end = static_cast<char>('0' + value);
    }
    return end;
}

// How many digits value has: the bit width gives the power of ten at most one too high.
inline int count(uint64_t value)
{
    static constexpr uint64_t kPowers[] = {1,
                                           10,
                                           100,
                                           1000,
                                           10000,
                                           100000,
                                           1000000,
                                           10000000,
                                           100000000,
                                           1000000000,
                                           10000000000,
                                           100000000000,
                                           1000000000000,
                                           10000000000000,
                                           100000000000000,
                                           1000000000000000,
                                           10000000000000000,
                                           100000000000000000,
                                           1000000000000000000,
                                           10000000000000000000u};
    const uint64_t odd = value | 1;  // the same count, and 0 counted as one digit
    const int power = (std::bit_width(odd) * 1233) >> 12;  // 1233 / 4096 is about log10(2)
    return power - (odd < kPowers[power]) + 1;
}

// Writes value's digits at `at` (in 32-bit steps where it fits them); returns their end.
inline char* forward(char* at, uint64_t value)
{
    char* const end = at + count(value);
    char* p = end;
    for (; value > UINT32_MAX; value /= 100) {
        p -= 2;
        std::memcpy(p, kPairs + 2 * (value % 100), 2);
    }
    auto small = static_cast<uint32_t>(value);
    for (; small >= 100; small /= 100) {
        p -= 2;
        std::memcpy(p, kPairs + 2 * (small % 100), 2);
    }
    if (small >= 10)
        std::memcpy(p - 2, kPairs + 2 * small, 2);
    else
        p[-1] = static_cast<char>('0' + small);
    return end;
}

// A number below 100: two digits, or one where it is below 10 and not padded.
inline char* small(char* at, unsigned value, bool padded)
{
    if (value < 10 && !padded) {
        *at = static_cast<char>('0' + value);
        return at + 1;
    }
    std::memcpy(at, kPairs + 2 * value, 2);
    return at + 2;
}

// Room for at most n more bytes at the end of out, written through at(); end() then cuts out
// back to where the writing stopped (nullptr: to where it started).
class Tail {
public:
    Tail(std::string& out, size_t most) : out_(out), start_(out.size())
    {
        out_.resize(start_ + most);
    }
    char* at() { return out_.data() + start_; }
    void end(const char* stop) { out_.resize(stop ? static_cast<size_t>(stop - out_.data()) : start_); }

private:
    std::string& out_;
    size_t start_;
};

}  // namespace varnex::digits
