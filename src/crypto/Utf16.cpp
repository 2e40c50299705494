#include "crypto/Utf16.h"

namespace varnex::crypto {

std::vector<uint8_t> utf16le(std::u16string_view text)
{
    std::vector<uint8_t> out;
    out.reserve(text.size() * 2);
    for (char16_t c : text) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    return out;
}

}  // namespace varnex::crypto
