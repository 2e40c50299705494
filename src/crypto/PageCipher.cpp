#include "crypto/PageCipher.h"

#include "crypto/Ciphers.h"
#include "KeyDerivation.h"

#include <openssl/crypto.h>

#include <algorithm>

namespace varnex::crypto {
namespace {

std::array<uint8_t, 16> ivFrom(std::span<const uint8_t> bytes)
{
    std::array<uint8_t, 16> iv;
    iv.fill(0x36);
    std::copy_n(bytes.begin(), std::min(bytes.size(), iv.size()), iv.begin());
    return iv;
}

bool sameBytes(std::span<const uint8_t> a, std::span<const uint8_t> b, size_t count)
{
    return a.size() >= count && b.size() >= count && CRYPTO_memcmp(a.data(), b.data(), count) == 0;
}

Result<std::vector<uint8_t>> decryptedValue(const AgilePasswordKey& k, std::span<const uint8_t> iterated,
                                              std::span<const uint8_t> block, const std::vector<uint8_t>& encrypted)
{
    const auto key = agileDerive(k.params.hash, iterated, block, k.params.keyBits / 8);
    std::vector<uint8_t> value = encrypted;
    if (key.empty() || !aesCbc(Direction::Decrypt, key, ivFrom(k.params.salt), value))
        return makeError(ErrorCode::CryptoFailure);
    return value;
}

// The page key, once the verifier shows that the password is right.
Result<std::vector<uint8_t>> unlockAgile(const AgileDescriptor& d, std::u16string_view password)
{
    const AgilePasswordKey& k = d.passwordKey;
    const auto iterated = agileIteratedHash(k.params.hash, k.params.salt, password, k.spinCount);
    if (iterated.empty())
        return makeError(ErrorCode::CryptoFailure);
    const auto input = decryptedValue(k, iterated, kVerifierInputBlock, k.encryptedVerifierHashInput);
    const auto expected = decryptedValue(k, iterated, kVerifierValueBlock, k.encryptedVerifierHashValue);
    if (!input || !expected)
        return makeError(ErrorCode::CryptoFailure);
    const auto actual = digest(k.params.hash, {std::span(*input).first(k.params.saltSize)});
    if (!sameBytes(actual, *expected, k.params.hashSize))
        return makeError(ErrorCode::BadPassword);
    auto key = decryptedValue(k, iterated, kKeyValueBlock, k.encryptedKeyValue);
    if (key)
        key->resize(d.keyData.keyBits / 8);
    return key;
}

Result<std::vector<uint8_t>> unlockRc4(const Rc4CryptoApiHeader& h, std::u16string_view password)
{
    auto base = rc4BaseHash(h.salt, password);
    const uint8_t blockZero[4] = {0, 0, 0, 0};
    const auto key = rc4BlockKey(base, blockZero, h.keyBits);
    if (base.empty() || key.empty())
        return makeError(ErrorCode::CryptoFailure);
    // Verifier and its hash are one RC4 stream.
    std::vector<uint8_t> stream(h.encryptedVerifier.begin(), h.encryptedVerifier.end());
    stream.insert(stream.end(), h.encryptedVerifierHash.begin(), h.encryptedVerifierHash.end());
    rc4(key, stream);
    const auto actual = digest(HashAlgorithm::Sha1, {std::span(stream).first(16)});
    if (!sameBytes(actual, std::span(stream).subspan(16), 20))
        return makeError(ErrorCode::BadPassword);
    return base;
}

}  // namespace

Result<PageCipher> PageCipher::open(const EncryptionHeader& header, std::u16string_view password)
{
    PageCipher cipher;
    cipher.method_ = header.method;
    cipher.encodingKey_ = header.encodingKey;
    Result<std::vector<uint8_t>> key = std::vector<uint8_t>{};
    if (header.method == Method::Agile && header.agile) {
        key = unlockAgile(*header.agile, password);
        cipher.hash_ = header.agile->keyData.hash;
        cipher.salt_ = header.agile->keyData.salt;
    } else if (header.method == Method::Rc4CryptoApi && header.rc4CryptoApi) {
        key = unlockRc4(*header.rc4CryptoApi, password);
        cipher.keyBits_ = header.rc4CryptoApi->keyBits;
    } else if (header.method != Method::None) {
        return makeError(ErrorCode::UnsupportedEncryption);
    }
    if (!key)
        return key.error();
    cipher.key_ = std::move(*key);
    return cipher;
}

Status PageCipher::apply(bool encrypt, uint32_t pageNumber, std::span<uint8_t> page) const
{
    if (pageNumber == 0 || method_ == Method::None)
        return {};
    const auto block = pageBlockKey(encodingKey_, pageNumber);
    if (method_ == Method::Rc4CryptoApi) {
        const auto key = rc4BlockKey(key_, block, keyBits_);
        if (key.empty())
            return makeError(ErrorCode::CryptoFailure);
        rc4(key, page);
        return {};
    }
    if (page.size() % 16 != 0)
        return makeError(ErrorCode::PageSizeInvalid);
    const auto iv = agileDerive(hash_, salt_, block, 16);
    if (iv.empty() || !aesCbc(encrypt ? Direction::Encrypt : Direction::Decrypt, key_, ivFrom(iv), page))
        return makeError(ErrorCode::CryptoFailure);
    return {};
}

Status PageCipher::decryptPage(uint32_t pageNumber, std::span<uint8_t> page) const { return apply(false, pageNumber, page); }

Status PageCipher::encryptPage(uint32_t pageNumber, std::span<uint8_t> page) const { return apply(true, pageNumber, page); }

Result<bool> verifyPassword(const EncryptionHeader& header, std::u16string_view password)
{
    const auto cipher = PageCipher::open(header, password);
    if (cipher)
        return true;
    if (cipher.error().code == ErrorCode::BadPassword)
        return false;
    return cipher.error();
}

}  // namespace varnex::crypto
