#include "crypto/Digest.h"

#include <openssl/evp.h>

#include <memory>

namespace varnex::crypto {
namespace {

const EVP_MD* mdOf(HashAlgorithm algorithm)
{
    switch (algorithm) {
    case HashAlgorithm::Sha1: return EVP_sha1();
    case HashAlgorithm::Sha256: return EVP_sha256();
    case HashAlgorithm::Sha384: return EVP_sha384();
    case HashAlgorithm::Sha512: return EVP_sha512();
    case HashAlgorithm::Md5: return EVP_md5();
    }
    return nullptr;
}

}  // namespace

std::optional<HashAlgorithm> hashAlgorithmNamed(std::string_view name)
{
    for (auto algorithm : {HashAlgorithm::Sha1, HashAlgorithm::Sha256, HashAlgorithm::Sha384, HashAlgorithm::Sha512,
                           HashAlgorithm::Md5})
        if (hashAlgorithmName(algorithm) == name)
            return algorithm;
    return std::nullopt;
}

std::string_view hashAlgorithmName(HashAlgorithm algorithm)
{
    switch (algorithm) {
    case HashAlgorithm::Sha1: return "SHA1";
    case HashAlgorithm::Sha256: return "SHA256";
    case HashAlgorithm::Sha384: return "SHA384";
    case HashAlgorithm::Sha512: return "SHA512";
    case HashAlgorithm::Md5: return "MD5";
    }
    return "";
}

size_t digestSize(HashAlgorithm algorithm) { return static_cast<size_t>(EVP_MD_get_size(mdOf(algorithm))); }

std::vector<uint8_t> digest(HashAlgorithm algorithm, std::initializer_list<std::span<const uint8_t>> parts)
{
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), mdOf(algorithm), nullptr) != 1)
        return {};
    for (const auto& part : parts)
        if (EVP_DigestUpdate(context.get(), part.data(), part.size()) != 1)
            return {};
    std::vector<uint8_t> out(EVP_MAX_MD_SIZE);
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), out.data(), &length) != 1)
        return {};
    out.resize(length);
    return out;
}

}  // namespace varnex::crypto
