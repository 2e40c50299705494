#include "jetwriter/CalculatedValue.h"

#include "jetwriter/ByteOrder.h"

#include <stdexcept>

namespace jetwriter {
namespace {

constexpr size_t kWrapperHead = 16;
constexpr size_t kWrapperTail = 3;
constexpr uint8_t kNegative = 0x80;
constexpr uint32_t kDecimalBodyLength = 14;  // scale, sign and the 12 bytes of the mantissa
constexpr Uint128 kLargestMantissa = (Uint128{1} << 96) - 1;

}  // namespace

std::vector<uint8_t> wrapCalculated(const std::vector<uint8_t>& result)
{
    std::vector<uint8_t> wrapped(kWrapperHead, 0);
    appendU32(wrapped, static_cast<uint32_t>(result.size()));
    appendBytes(wrapped, result.data(), result.size());
    wrapped.insert(wrapped.end(), kWrapperTail, 0);
    return wrapped;
}

std::vector<uint8_t> calculatedDecimal(const DecimalValue& value)
{
    if (value.scale < 0 || value.scale > 28 || value.mantissa > kLargestMantissa)
        throw std::runtime_error("calculated decimal out of range");
    std::vector<uint8_t> bytes;
    appendU16(bytes, kDecimalBodyLength);
    appendU8(bytes, static_cast<uint32_t>(value.scale));
    appendU8(bytes, value.negative && value.mantissa != 0 ? kNegative : 0);
    appendU32(bytes, static_cast<uint32_t>(value.mantissa >> 64));
    uint8_t low[8];
    putU64(low, static_cast<uint64_t>(value.mantissa));
    appendBytes(bytes, low, sizeof low);
    return bytes;
}

}  // namespace jetwriter
