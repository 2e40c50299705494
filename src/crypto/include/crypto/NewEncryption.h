#pragma once
// Encryption for a new ACE database: fresh random salts and keys, the structure page 0 carries, and the
// cipher for the other pages.

#include "crypto/PageCipher.h"

#include <vector>

namespace varnex::crypto {

struct NewEncryption {
    EncryptionHeader header;
    std::vector<uint8_t> structure;  // version and body, as stored from 0x29B on
    PageCipher cipher;
};

// Method::Agile (AES-256, SHA-512, as Access 2010 writes it) or Method::Rc4CryptoApi (keyBits 40..128).
// EncryptionBadKeySize, SpinCountTooLarge, UnsupportedEncryption or CryptoFailure when it cannot be made.
Result<NewEncryption> createEncryption(Method method, std::u16string_view password, uint32_t spinCount = 100000,
                                         uint32_t rc4KeyBits = 128);

// Puts the encoding key and the structure into page 0 before the header is scrambled.
// HeaderPageTooShort when the structure does not fit.
Status installEncryption(std::span<uint8_t> unscrambledPage0, const NewEncryption& encryption);

}  // namespace varnex::crypto
