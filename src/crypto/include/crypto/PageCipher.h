#pragma once
// The password check and the cipher of the pages of an encrypted ACE database.
//
// Agile: AES-CBC over the whole page (no padding) under the key that the password unlocks, with an IV
// per page (see KeyDerivation.h). RC4 CryptoAPI: RC4 over the whole page under a key per page.
// Page 0 is never encrypted.

#include "crypto/EncryptionHeader.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace varnex::crypto {

class PageCipher {
public:
    // BadPassword, UnsupportedEncryption (methodName(header) names it) or CryptoFailure on failure.
    // A header without encryption gives a cipher that leaves every page as it is.
    static Result<PageCipher> open(const EncryptionHeader& header, std::u16string_view password);

    Method method() const { return method_; }

    // In place. Page 0 and unencrypted files pass unchanged; PageSizeInvalid for an agile page that is
    // not whole cipher blocks.
    Status decryptPage(uint32_t pageNumber, std::span<uint8_t> page) const;
    Status encryptPage(uint32_t pageNumber, std::span<uint8_t> page) const;

private:
    PageCipher() = default;
    Status apply(bool encrypt, uint32_t pageNumber, std::span<uint8_t> page) const;

    Method method_ = Method::None;
    std::array<uint8_t, 4> encodingKey_{};
    HashAlgorithm hash_ = HashAlgorithm::Sha1;
    std::vector<uint8_t> salt_;  // agile: keyData salt
    std::vector<uint8_t> key_;   // agile: page key; RC4: the password's base hash
    uint32_t keyBits_ = 0;
};

// True when the password opens the file, as Access checks it; an error for a damaged or unsupported header.
Result<bool> verifyPassword(const EncryptionHeader& header, std::u16string_view password);

}  // namespace varnex::crypto
