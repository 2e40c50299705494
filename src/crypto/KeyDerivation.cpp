#include "KeyDerivation.h"

#include "crypto/Utf16.h"

namespace varnex::crypto {

std::array<uint8_t, 4> pageBlockKey(const std::array<uint8_t, 4>& encodingKey, uint32_t pageNumber)
{
    std::array<uint8_t, 4> key{};
    for (size_t i = 0; i < 4; ++i)
        key[i] = static_cast<uint8_t>(encodingKey[i] ^ (pageNumber >> (8 * i)));
    return key;
}

std::vector<uint8_t> agileIteratedHash(HashAlgorithm hash, std::span<const uint8_t> salt, std::u16string_view password,
                                       uint32_t spinCount)
{
    std::vector<uint8_t> h = digest(hash, {salt, utf16le(password)});
    for (uint32_t i = 0; i < spinCount && !h.empty(); ++i) {
        const uint8_t counter[4] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i >> 16),
                                    static_cast<uint8_t>(i >> 24)};
        h = digest(hash, {counter, h});
    }
    return h;
}

std::vector<uint8_t> agileDerive(HashAlgorithm hash, std::span<const uint8_t> first, std::span<const uint8_t> second,
                                 size_t size)
{
    std::vector<uint8_t> out = digest(hash, {first, second});
    if (!out.empty())
        out.resize(size, 0x36);
    return out;
}

std::vector<uint8_t> rc4BaseHash(std::span<const uint8_t> salt, std::u16string_view password)
{
    return digest(HashAlgorithm::Sha1, {salt, utf16le(password)});
}

std::vector<uint8_t> rc4BlockKey(std::span<const uint8_t> baseHash, std::span<const uint8_t> blockKey, uint32_t keyBits)
{
    std::vector<uint8_t> key = digest(HashAlgorithm::Sha1, {baseHash, blockKey});
    if (key.empty())
        return key;
    key.resize(keyBits / 8);
    if (keyBits == 40)
        key.resize(16, 0);
    return key;
}

}  // namespace varnex::crypto
