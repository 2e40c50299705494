#pragma once
// Page 0 of an ACE database around an encryption structure, as the tests need it.

#include "crypto/NewEncryption.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace varnex::crypto::test {

constexpr size_t kPageSize = 4096;

// A stored (scrambled) page 0 carrying the encoding key and the structure, or none when `structure` is empty.
inline std::vector<uint8_t> acePage0(const std::array<uint8_t, 4>& key, const std::vector<uint8_t>& structure)
{
    std::vector<uint8_t> page(kPageSize, 0);
    std::memcpy(page.data(), "\x00\x01\x00\x00Standard ACE DB\x00", 20);
    page[0x14] = 3;
    std::copy(key.begin(), key.end(), page.begin() + kEncodingKeyOffset);
    const size_t length = std::min<size_t>(structure.size(), kPageSize - kStructureOffset);
    page[kStructureLengthOffset] = static_cast<uint8_t>(length);
    page[kStructureLengthOffset + 1] = static_cast<uint8_t>(length >> 8);
    std::copy_n(structure.begin(), length, page.begin() + kStructureOffset);
    toggleHeaderScrambling(page);
    return page;
}

inline std::vector<uint8_t> acePage0(const NewEncryption& made)
{
    return acePage0(made.header.encodingKey, made.structure);
}

// What a result failed with; nothing for one that succeeded.
template <class Value>
std::optional<ErrorCode> failureOf(const Result<Value>& result)
{
    return result.ok() ? std::nullopt : std::optional(result.error().code);
}

}  // namespace varnex::crypto::test
