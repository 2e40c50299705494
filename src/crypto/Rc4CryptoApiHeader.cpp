#include "crypto/Rc4CryptoApiHeader.h"

#include "crypto/Utf16.h"

#include <algorithm>

namespace varnex::crypto {
namespace {

constexpr uint32_t kAlgorithmRc4 = 0x6801;
constexpr uint32_t kAlgorithmSha1 = 0x8004;
constexpr size_t kFixedHeaderSize = 32;  // the header before the provider name
constexpr size_t kVerifierSize = 4 + 16 + 16 + 4 + 20;
constexpr size_t kMaxHeaderSize = 1024;

uint32_t u32(std::span<const uint8_t> bytes, size_t at)
{
    return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
           static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

void appendU32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::u16string providerName(std::span<const uint8_t> bytes)
{
    std::u16string name;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto c = static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
        if (c == 0)
            break;
        name.push_back(c);
    }
    return name;
}

Status checkAlgorithms(std::span<const uint8_t> header, uint32_t& keyBits)
{
    const uint32_t flags = u32(header, 0);
    const uint32_t algorithm = u32(header, 8);
    const uint32_t hash = u32(header, 12);
    if ((flags & kFlagCryptoApi) == 0 || (flags & kFlagAes) != 0 || (algorithm != kAlgorithmRc4 && algorithm != 0))
        return makeError(ErrorCode::UnsupportedCipher);
    if (hash != kAlgorithmSha1 && hash != 0)
        return makeError(ErrorCode::UnsupportedHash);
    keyBits = u32(header, 16) == 0 ? 40 : u32(header, 16);
    if (keyBits < 40 || keyBits > 128 || keyBits % 8 != 0)
        return makeError(ErrorCode::EncryptionBadKeySize);
    return {};
}

}  // namespace

Result<Rc4CryptoApiHeader> parseRc4CryptoApiHeader(std::span<const uint8_t> afterVersion)
{
    if (afterVersion.size() < 8)
        return makeError(ErrorCode::EncryptionTruncated);
    const uint32_t headerSize = u32(afterVersion, 4);
    if (headerSize < kFixedHeaderSize || headerSize > kMaxHeaderSize || afterVersion.size() < 8 + headerSize + kVerifierSize)
        return makeError(ErrorCode::EncryptionTruncated);
    const auto header = afterVersion.subspan(8, headerSize);
    Rc4CryptoApiHeader out;
    if (Status s = checkAlgorithms(header, out.keyBits); !s)
        return s.error();
    out.flags = u32(header, 0);
    out.providerType = u32(header, 20);
    out.cspName = providerName(header.subspan(kFixedHeaderSize));
    const auto verifier = afterVersion.subspan(8 + headerSize, kVerifierSize);
    if (u32(verifier, 0) != out.salt.size())
        return makeError(ErrorCode::EncryptionBadSaltSize);
    if (u32(verifier, 36) != out.encryptedVerifierHash.size())
        return makeError(ErrorCode::EncryptionBadHashSize);
    std::copy_n(verifier.begin() + 4, 16, out.salt.begin());
    std::copy_n(verifier.begin() + 20, 16, out.encryptedVerifier.begin());
    std::copy_n(verifier.begin() + 40, 20, out.encryptedVerifierHash.begin());
    return out;
}

std::vector<uint8_t> rc4CryptoApiHeaderBytes(const Rc4CryptoApiHeader& h)
{
    std::vector<uint8_t> header;
    for (uint32_t word : {h.flags, 0u, kAlgorithmRc4, kAlgorithmSha1, h.keyBits, h.providerType, 0u, 0u})
        appendU32(header, word);
    const std::vector<uint8_t> name = utf16le(h.cspName + u'\0');
    header.insert(header.end(), name.begin(), name.end());
    std::vector<uint8_t> out;
    appendU32(out, h.flags);
    appendU32(out, static_cast<uint32_t>(header.size()));
    out.insert(out.end(), header.begin(), header.end());
    appendU32(out, static_cast<uint32_t>(h.salt.size()));
    out.insert(out.end(), h.salt.begin(), h.salt.end());
    out.insert(out.end(), h.encryptedVerifier.begin(), h.encryptedVerifier.end());
    appendU32(out, static_cast<uint32_t>(h.encryptedVerifierHash.size()));
    out.insert(out.end(), h.encryptedVerifierHash.begin(), h.encryptedVerifierHash.end());
    return out;
}

}  // namespace varnex::crypto
