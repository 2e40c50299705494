#pragma once
// The XML encryption descriptor of agile encryption (Access 2010 and later).
//
// Access writes one <encryption> element with a <keyData> element (the cipher that encrypts the pages
// and the salt their IVs are derived from) and one <keyEncryptor> whose uri ends in "keyEncryptor/password"
// holding a <p:encryptedKey> element: its own cipher parameters, salt, spinCount and three encrypted
// values (verifier input, verifier hash, the page key). Salts and values are base64. Access writes no
// <dataIntegrity> element; one that is present is read but not required. Only AES in CBC mode is accepted.

#include "crypto/Digest.h"
#include "core/Error.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnex::crypto {

// Agile files from Access use 100000 rounds; far more is taken as damage so a hostile file cannot stall a reader.
constexpr uint32_t kMaxSpinCount = 10'000'000;

struct AgileCipherParams {
    uint32_t saltSize = 16;
    uint32_t blockSize = 16;
    uint32_t keyBits = 256;
    uint32_t hashSize = 64;
    HashAlgorithm hash = HashAlgorithm::Sha512;
    std::vector<uint8_t> salt;
};

struct AgilePasswordKey {
    AgileCipherParams params;
    uint32_t spinCount = 100000;
    std::vector<uint8_t> encryptedVerifierHashInput;
    std::vector<uint8_t> encryptedVerifierHashValue;
    std::vector<uint8_t> encryptedKeyValue;
};

struct AgileDescriptor {
    AgileCipherParams keyData;
    AgilePasswordKey passwordKey;
    std::vector<uint8_t> encryptedHmacKey;    // from <dataIntegrity>, when present
    std::vector<uint8_t> encryptedHmacValue;
};

Result<AgileDescriptor> parseAgileDescriptor(std::string_view xml);

// The descriptor as Access lays it out (XML declaration, CRLF, one line of elements).
std::string agileDescriptorXml(const AgileDescriptor& descriptor);

}  // namespace varnex::crypto
