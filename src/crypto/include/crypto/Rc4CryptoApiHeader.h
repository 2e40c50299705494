#pragma once
// The binary header of RC4 CryptoAPI encryption (Access 2007, and later versions in compatibility mode).
//
// After the 4-byte version (2.2, 3.2 or 4.2) come: flags (4, a copy of the header's), the header size
// (4), the header itself and then the verifier. Header: flags (0x04 fCryptoAPI; 0x20 fAES would mean
// standard AES encryption instead), sizeExtra, algID (0x6801 RC4, or 0 meaning RC4 under fCryptoAPI),
// algIDHash (0x8004 SHA-1, or 0), keySize in bits (0 means 40; 40..128 in steps of 8), providerType,
// two reserved words, then the provider (CSP) name in UTF-16LE up to the header's end.
// Verifier: saltSize (16), salt, encryptedVerifier (16), verifierHashSize (20), encryptedVerifierHash (20).

#include "core/Error.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace varnex::crypto {

constexpr uint32_t kFlagCryptoApi = 0x04;
constexpr uint32_t kFlagAes = 0x20;

struct Rc4CryptoApiHeader {
    uint32_t flags = kFlagCryptoApi;
    uint32_t keyBits = 128;
    uint32_t providerType = 1;  // PROV_RSA_FULL
    std::u16string cspName = u"Microsoft Enhanced Cryptographic Provider v1.0";
    std::array<uint8_t, 16> salt{};
    std::array<uint8_t, 16> encryptedVerifier{};
    std::array<uint8_t, 20> encryptedVerifierHash{};
};

// `afterVersion`: the structure following the 4-byte version.
Result<Rc4CryptoApiHeader> parseRc4CryptoApiHeader(std::span<const uint8_t> afterVersion);

// The inverse of the parse, likewise without the version.
std::vector<uint8_t> rc4CryptoApiHeaderBytes(const Rc4CryptoApiHeader& header);

}  // namespace varnex::crypto
