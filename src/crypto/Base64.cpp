#include "Base64.h"

#include <openssl/evp.h>

namespace varnex::crypto {

std::optional<std::vector<uint8_t>> base64Decode(std::string_view text)
{
    if (text.size() % 4 != 0 || text.size() > (1u << 20))
        return std::nullopt;
    std::vector<uint8_t> out(text.size() / 4 * 3);
    if (text.empty())
        return out;
    const int length = EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                       static_cast<int>(text.size()));
    if (length < 0)
        return std::nullopt;
    // EVP_DecodeBlock counts the padding as zero bytes.
    size_t padding = 0;
    for (size_t i = text.size(); i > 0 && text[i - 1] == '=' && padding < 2; --i)
        ++padding;
    out.resize(static_cast<size_t>(length) - padding);
    return out;
}

std::string base64Encode(std::span<const uint8_t> bytes)
{
    std::string out((bytes.size() + 2) / 3 * 4 + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), bytes.data(), static_cast<int>(bytes.size()));
    out.resize(static_cast<size_t>(length));
    return out;
}

}  // namespace varnex::crypto
