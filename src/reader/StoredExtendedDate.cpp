#include "reader/StoredExtendedDate.h"

#include "store/ExtendedDate.h"

namespace varnex::reader {
namespace {

constexpr size_t kDigits = 19;
constexpr size_t kStoredLength = 42;

std::optional<int64_t> digitsAt(const uint8_t* stored, size_t at, size_t count)
{
    int64_t value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (stored[i] < '0' || stored[i] > '9')
            return std::nullopt;
        // Nineteen digits can exceed 63 bits; anything that large is out of range anyway.
        if (value > (INT64_MAX - 9) / 10)
            return std::nullopt;
        value = value * 10 + (stored[i] - '0');
    }
    return value;
}

}  // namespace

std::optional<int64_t> extendedDateTicks(const uint8_t* stored, size_t size)
{
    if (size < kStoredLength - 1 || stored[kDigits] != ':' || stored[2 * kDigits + 1] != ':')
        return std::nullopt;
    const auto days = digitsAt(stored, 0, kDigits);
    const auto ticks = digitsAt(stored, kDigits + 1, kDigits);
    if (!days || !ticks || *days > kLastExtendedDay || *ticks >= kTicksPerDay)
        return std::nullopt;
    return *days * kTicksPerDay + *ticks;
}

}  // namespace varnex::reader
