#pragma once
// Hash algorithms named by the agile descriptor, computed by libcrypto.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace varnex::crypto {

enum class HashAlgorithm { Sha1, Sha256, Sha384, Sha512, Md5 };

// "SHA1", "SHA256", "SHA384", "SHA512", "MD5" as the descriptor spells them.
std::optional<HashAlgorithm> hashAlgorithmNamed(std::string_view name);
std::string_view hashAlgorithmName(HashAlgorithm algorithm);
size_t digestSize(HashAlgorithm algorithm);

// The digest of the parts in order; empty only when libcrypto fails.
std::vector<uint8_t> digest(HashAlgorithm algorithm, std::initializer_list<std::span<const uint8_t>> parts);

}  // namespace varnex::crypto
