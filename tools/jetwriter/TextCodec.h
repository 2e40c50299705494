#pragma once
// Text as Jet stores it: Jet 4 UCS-2 (optionally compressed), Jet 3 Windows-1252.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace jetwriter {

// Malformed UTF-8 becomes U+FFFD; characters beyond the BMP become surrogate pairs.
std::u16string utf8ToUtf16(std::string_view utf8);

// Windows-1252; what it cannot represent becomes '?'.
std::vector<uint8_t> toCp1252(std::u16string_view text);

// UCS-2 little-endian, in the compressed form (0xFF 0xFE marker) when that is allowed and shorter.
std::vector<uint8_t> toJet4Text(std::u16string_view text, bool allowCompression);

}  // namespace jetwriter
