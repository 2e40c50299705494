#pragma once
// Text as the file formats store it: UTF-16 code units, little-endian. Passwords are hashed in this
// form, and the writer stores names and text in it.

#include <cstdint>
#include <string_view>
#include <vector>

namespace varnex::crypto {

std::vector<uint8_t> utf16le(std::u16string_view text);

}  // namespace varnex::crypto
