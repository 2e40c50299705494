#include "crypto/Ciphers.h"

// RC4 lives only in the legacy provider behind EVP in OpenSSL 3; its low-level interface is still in libcrypto.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/evp.h>
#include <openssl/rc4.h>

#include <memory>

namespace varnex::crypto {
namespace {

const EVP_CIPHER* aesCipher(size_t keyBytes)
{
    switch (keyBytes) {
    case 16: return EVP_aes_128_cbc();
    case 24: return EVP_aes_192_cbc();
    case 32: return EVP_aes_256_cbc();
    default: return nullptr;
    }
}

}  // namespace

Status aesCbc(Direction direction, std::span<const uint8_t> key, std::span<const uint8_t, 16> iv, std::span<uint8_t> data)
{
    const EVP_CIPHER* cipher = aesCipher(key.size());
    if (!cipher || data.size() % 16 != 0 || data.size() > static_cast<size_t>(INT32_MAX))
        return makeError(ErrorCode::CryptoFailure);
    std::unique_ptr<EVP_CIPHER_CTX, void (*)(EVP_CIPHER_CTX*)> context(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    const int encrypt = direction == Direction::Encrypt ? 1 : 0;
    if (!context || EVP_CipherInit_ex(context.get(), cipher, nullptr, key.data(), iv.data(), encrypt) != 1 ||
        EVP_CIPHER_CTX_set_padding(context.get(), 0) != 1)
        return makeError(ErrorCode::CryptoFailure);
    int written = 0;
    if (EVP_CipherUpdate(context.get(), data.data(), &written, data.data(), static_cast<int>(data.size())) != 1)
        return makeError(ErrorCode::CryptoFailure);
    int tail = 0;
    if (EVP_CipherFinal_ex(context.get(), data.data() + written, &tail) != 1 || static_cast<size_t>(written + tail) != data.size())
        return makeError(ErrorCode::CryptoFailure);
    return {};
}

void rc4(std::span<const uint8_t> key, std::span<uint8_t> data)
{
    RC4_KEY state;
    RC4_set_key(&state, static_cast<int>(key.size()), key.data());
    RC4(&state, data.size(), data.data(), data.data());
}

}  // namespace varnex::crypto
