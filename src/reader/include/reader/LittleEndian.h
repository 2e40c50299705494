#pragma once
// Numbers as Jet pages keep them: little-endian, at any alignment (read on a little-endian
// processor, as the reader's platforms are).

#include <cstdint>
#include <cstring>

namespace varnex::reader {

inline uint16_t readU16(const uint8_t* at)
{
    uint16_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

inline uint32_t readU32(const uint8_t* at)
{
    uint32_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

}  // namespace varnex::reader
