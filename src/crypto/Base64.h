#pragma once
// Base64 as the agile descriptor carries salts and encrypted values.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varnex::crypto {

// nullopt for anything but well-formed, padded base64.
std::optional<std::vector<uint8_t>> base64Decode(std::string_view text);
std::string base64Encode(std::span<const uint8_t> bytes);

}  // namespace varnex::crypto
