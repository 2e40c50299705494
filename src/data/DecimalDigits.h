#pragma once
// Decimal digits written straight into a character buffer, two at a time from a table:
// the value texts of numbers and dates are written this way, millions to an export.

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
