#pragma once
// Where an Access 2007+ (ACE) database says whether and how its pages are encrypted.
//
// Page 0 (the database definition page) is never encrypted. It starts 00 01 00 00 "Standard ACE DB" 00,
// with the version byte at 0x14 (2 = Access 2007, 3 = 2010, 4 = 2013, 5 = 2016, 6 = 2019). The 128 bytes
// from 0x18 are scrambled with RC4 under the fixed key C7 DA 39 6B; inside them, at 0x3E, lies the 4-byte
// encoding key. All zero means the pages are plain. Otherwise a 16-bit length at 0x299 counts the
// encryption structure that follows it at 0x29B: a version (major, minor: 16 bits each), then
//   4.4            agile: 4 reserved bytes (0x40), then the XML descriptor (see AgileDescriptor.h)
//   2.2, 3.2, 4.2  binary header: RC4 CryptoAPI when fCryptoAPI is set without fAES, standard AES
//                  encryption when fAES is set (see Rc4CryptoApiHeader.h)
//   3.3, 4.3       extensible encryption;   1.1  Office binary RC4
// Every page but page 0 is encrypted; each page's key material starts from the encoding key with the
// page number (little-endian) XORed into it (see PageCipher.h).

#include "crypto/AgileDescriptor.h"
#include "core/Error.h"
#include "crypto/Rc4CryptoApiHeader.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace varnex::crypto {

constexpr size_t kScrambledOffset = 0x18;
constexpr size_t kScrambledLength = 128;
constexpr size_t kEncodingKeyOffset = 0x3E;
constexpr size_t kStructureLengthOffset = 0x299;
constexpr size_t kStructureOffset = kStructureLengthOffset + 2;

enum class Method { None, Agile, Rc4CryptoApi, StandardAes, Extensible, OfficeRc4, Unknown };

struct EncryptionHeader {
    Method method = Method::None;
    uint16_t versionMajor = 0;
    uint16_t versionMinor = 0;
    std::array<uint8_t, 4> encodingKey{};
    std::optional<AgileDescriptor> agile;            // Method::Agile
    std::optional<Rc4CryptoApiHeader> rc4CryptoApi;  // Method::Rc4CryptoApi
};

// `page0` as stored in the file (still scrambled). A damaged structure gives the error that names the damage; a scheme this
// library does not implement is not an error here: it comes back as its Method (see methodName).
Result<EncryptionHeader> readEncryptionHeader(std::span<const uint8_t> page0);

// "agile encryption (AES-256, SHA512)", "RC4 CryptoAPI encryption (128-bit)",
// "encryption version 9.9 (unknown)" and so on, for messages.
std::string methodName(const EncryptionHeader& header);

// Applies (or removes: it is its own inverse) the fixed RC4 scrambling of page 0's 0x18..0x98 region.
void toggleHeaderScrambling(std::span<uint8_t> page0);

// Zeroes the encoding key of a stored (scrambled) page 0, so that a reader given the decrypted pages
// takes them as plain.
void clearEncodingKey(std::span<uint8_t> page0);

}  // namespace varnex::crypto
