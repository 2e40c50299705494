#pragma once
// The two ciphers Access applies to pages: AES-CBC without padding and RC4.

#include "core/Error.h"

#include <cstdint>
#include <span>

namespace varnex::crypto {

enum class Direction { Encrypt, Decrypt };

// In place; the data must be whole 16-byte blocks and the key 16, 24 or 32 bytes. CryptoFailure otherwise
// or when libcrypto fails.
Status aesCbc(Direction direction, std::span<const uint8_t> key, std::span<const uint8_t, 16> iv, std::span<uint8_t> data);

// In place (RC4 is its own inverse); a key of 1 to 256 bytes.
void rc4(std::span<const uint8_t> key, std::span<uint8_t> data);

}  // namespace varnex::crypto
