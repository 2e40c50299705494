#include "crypto/NewEncryption.h"

#include "crypto/Ciphers.h"
#include "KeyDerivation.h"

#include <openssl/rand.h>

#include <algorithm>

namespace varnex::crypto {
namespace {

template <class Bytes>
bool randomFill(Bytes& bytes)
{
    return RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) == 1;
}

std::vector<uint8_t> randomBytes(size_t count)
{
    std::vector<uint8_t> bytes(count);
    return randomFill(bytes) ? bytes : std::vector<uint8_t>{};
}

void appendVersion(std::vector<uint8_t>& out, uint16_t major, uint16_t minor)
{
    out.insert(out.end(), {static_cast<uint8_t>(major), 0, static_cast<uint8_t>(minor), 0});
}

bool encryptValue(const AgilePasswordKey& k, std::span<const uint8_t> iterated, std::span<const uint8_t> block,
                  std::vector<uint8_t> plain, std::vector<uint8_t>& out)
{
    plain.resize((plain.size() + 15) / 16 * 16, 0);
    const auto key = agileDerive(k.params.hash, iterated, block, k.params.keyBits / 8);
    std::array<uint8_t, 16> iv;
    std::copy_n(k.params.salt.begin(), 16, iv.begin());
    if (key.empty() || !aesCbc(Direction::Encrypt, key, iv, plain))
        return false;
    out = std::move(plain);
    return true;
}

Status makeAgile(std::u16string_view password, uint32_t spinCount, NewEncryption& made)
{
    AgileDescriptor d;
    d.keyData.salt = randomBytes(16);
    AgilePasswordKey& k = d.passwordKey;
    k.spinCount = spinCount;
    k.params.salt = randomBytes(16);
    const auto verifier = randomBytes(16);
    const auto pageKey = randomBytes(32);
    if (d.keyData.salt.empty() || k.params.salt.empty() || verifier.empty() || pageKey.empty())
        return makeError(ErrorCode::CryptoFailure);
    const auto iterated = agileIteratedHash(k.params.hash, k.params.salt, password, spinCount);
    if (iterated.empty() || !encryptValue(k, iterated, kVerifierInputBlock, verifier, k.encryptedVerifierHashInput) ||
        !encryptValue(k, iterated, kVerifierValueBlock, digest(k.params.hash, {verifier}), k.encryptedVerifierHashValue) ||
        !encryptValue(k, iterated, kKeyValueBlock, pageKey, k.encryptedKeyValue))
        return makeError(ErrorCode::CryptoFailure);
    appendVersion(made.structure, 4, 4);
    made.structure.insert(made.structure.end(), {0x40, 0, 0, 0});
    const std::string xml = agileDescriptorXml(d);
    made.structure.insert(made.structure.end(), xml.begin(), xml.end());
    made.header.method = Method::Agile;
    made.header.versionMajor = made.header.versionMinor = 4;
    made.header.agile = std::move(d);
    return {};
}

Status makeRc4(std::u16string_view password, uint32_t keyBits, NewEncryption& made)
{
    if (keyBits < 40 || keyBits > 128 || keyBits % 8 != 0)
        return makeError(ErrorCode::EncryptionBadKeySize);
    Rc4CryptoApiHeader h;
    h.keyBits = keyBits;
    std::array<uint8_t, 16> verifier{};
    if (!randomFill(h.salt) || !randomFill(verifier))
        return makeError(ErrorCode::CryptoFailure);
    const uint8_t blockZero[4] = {0, 0, 0, 0};
    const auto key = rc4BlockKey(rc4BaseHash(h.salt, password), blockZero, keyBits);
    const auto hash = digest(HashAlgorithm::Sha1, {verifier});
    if (key.empty() || hash.size() != 20)
        return makeError(ErrorCode::CryptoFailure);
    std::vector<uint8_t> stream(verifier.begin(), verifier.end());
    stream.insert(stream.end(), hash.begin(), hash.end());
    rc4(key, stream);
    std::copy_n(stream.begin(), 16, h.encryptedVerifier.begin());
    std::copy_n(stream.begin() + 16, 20, h.encryptedVerifierHash.begin());
    appendVersion(made.structure, 4, 2);
    const auto body = rc4CryptoApiHeaderBytes(h);
    made.structure.insert(made.structure.end(), body.begin(), body.end());
    made.header.method = Method::Rc4CryptoApi;
    made.header.versionMajor = 4;
    made.header.versionMinor = 2;
    made.header.rc4CryptoApi = h;
    return {};
}

}  // namespace

Result<NewEncryption> createEncryption(Method method, std::u16string_view password, uint32_t spinCount, uint32_t rc4KeyBits)
{
    if (spinCount > kMaxSpinCount)
        return makeError(ErrorCode::SpinCountTooLarge);
    NewEncryption made{{}, {}, *PageCipher::open(EncryptionHeader{}, u"")};
    do {
        if (!randomFill(made.header.encodingKey))
            return makeError(ErrorCode::CryptoFailure);
    } while (std::all_of(made.header.encodingKey.begin(), made.header.encodingKey.end(), [](uint8_t b) { return b == 0; }));
    Status structure = makeError(ErrorCode::UnsupportedEncryption);
    if (method == Method::Agile)
        structure = makeAgile(password, spinCount, made);
    else if (method == Method::Rc4CryptoApi)
        structure = makeRc4(password, rc4KeyBits, made);
    if (!structure)
        return structure.error();
    auto cipher = PageCipher::open(made.header, password);
    if (!cipher)
        return cipher.error();
    made.cipher = std::move(*cipher);
    return made;
}

Status installEncryption(std::span<uint8_t> page, const NewEncryption& encryption)
{
    const size_t length = encryption.structure.size();
    if (length > 0xFFFF || page.size() < kStructureOffset + length)
        return makeError(ErrorCode::HeaderPageTooShort);
    std::copy(encryption.header.encodingKey.begin(), encryption.header.encodingKey.end(), page.begin() + kEncodingKeyOffset);
    page[kStructureLengthOffset] = static_cast<uint8_t>(length);
    page[kStructureLengthOffset + 1] = static_cast<uint8_t>(length >> 8);
    std::copy(encryption.structure.begin(), encryption.structure.end(), page.begin() + kStructureOffset);
    return {};
}

}  // namespace varnex::crypto
