#pragma once
// Keys from passwords, and per-page key material, for both encryption methods.
//
// Agile: H0 = H(salt + password as UTF-16LE), then spinCount rounds of Hi = H(i as 32-bit LE + Hi-1),
// then H(Hn + block key); the result is cut to the key length or filled up with 0x36 bytes. The block keys
// of the three encrypted values are fixed 8-byte constants. A page's IV is H(keyData salt + page block
// key) cut or filled the same way to the cipher block size; the page key is the decrypted key value.
// RC4 CryptoAPI: H0 = SHA-1(salt + password); a block's key is SHA-1(H0 + block key) cut to keySize bits,
// and a 40-bit key is filled up with zero bytes to 128 bits. The verifier uses block key 0 (four zero bytes).
// Page block key (both methods): the 4-byte encoding key XOR the page number as 32-bit little-endian.

#include "crypto/Digest.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace varnex::crypto {

inline constexpr std::array<uint8_t, 8> kVerifierInputBlock = {0xFE, 0xA7, 0xD2, 0x76, 0x3B, 0x4B, 0x9E, 0x79};
inline constexpr std::array<uint8_t, 8> kVerifierValueBlock = {0xD7, 0xAA, 0x0F, 0x6D, 0x30, 0x61, 0x34, 0x4E};
inline constexpr std::array<uint8_t, 8> kKeyValueBlock = {0x14, 0x6E, 0x0B, 0xE7, 0xAB, 0xAC, 0xD0, 0xD6};

std::array<uint8_t, 4> pageBlockKey(const std::array<uint8_t, 4>& encodingKey, uint32_t pageNumber);

// Hn above; empty when libcrypto fails.
std::vector<uint8_t> agileIteratedHash(HashAlgorithm hash, std::span<const uint8_t> salt, std::u16string_view password,
                                       uint32_t spinCount);

// H(first + second) cut to `size`, or filled up with 0x36.
std::vector<uint8_t> agileDerive(HashAlgorithm hash, std::span<const uint8_t> first, std::span<const uint8_t> second,
                                 size_t size);

std::vector<uint8_t> rc4BaseHash(std::span<const uint8_t> salt, std::u16string_view password);
std::vector<uint8_t> rc4BlockKey(std::span<const uint8_t> baseHash, std::span<const uint8_t> blockKey, uint32_t keyBits);

}  // namespace varnex::crypto
