#pragma once
// RC4 keystream, the cipher Access uses to scramble its header page.

#include <cstddef>
#include <cstdint>
#include <span>

namespace varnex {

// XORs data in place with the RC4 keystream of key.
void rc4Apply(std::span<const uint8_t> key, std::span<uint8_t> data);

}  // namespace varnex
