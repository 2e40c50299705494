#include "crypto/AgileDescriptor.h"

#include "Base64.h"
#include "XmlTags.h"

#include <charconv>

namespace varnex::crypto {
namespace {

constexpr std::string_view kPasswordEncryptorUri = "http://schemas.microsoft.com/office/2006/keyEncryptor/password";

struct Found {
    const XmlTag* keyData = nullptr;
    const XmlTag* passwordKey = nullptr;
    const XmlTag* integrity = nullptr;
};

// The password key encryptor is the encryptedKey element inside the keyEncryptor with the password uri.
Found findElements(const std::vector<XmlTag>& tags)
{
    Found found;
    bool inPasswordEncryptor = false;
    for (const XmlTag& tag : tags) {
        if (tag.localName == "keyEncryptor")
            inPasswordEncryptor = tag.attribute("uri") == kPasswordEncryptorUri;
        else if (tag.localName == "keyData" && !found.keyData)
            found.keyData = &tag;
        else if (tag.localName == "encryptedKey" && inPasswordEncryptor && !found.passwordKey)
            found.passwordKey = &tag;
        else if (tag.localName == "dataIntegrity" && !found.integrity)
            found.integrity = &tag;
    }
    return found;
}

Status readNumber(const XmlTag& tag, std::string_view name, uint32_t& out)
{
    const auto text = tag.attribute(name);
    if (!text)
        return makeError(ErrorCode::EncryptionFieldMissing);
    const auto [end, status] = std::from_chars(text->data(), text->data() + text->size(), out);
    if (status != std::errc() || end != text->data() + text->size() || text->empty())
        return makeError(ErrorCode::EncryptionBadNumber);
    return {};
}

Status readBytes(const XmlTag& tag, std::string_view name, std::vector<uint8_t>& out)
{
    const auto text = tag.attribute(name);
    if (!text)
        return makeError(ErrorCode::EncryptionFieldMissing);
    auto bytes = base64Decode(*text);
    if (!bytes)
        return makeError(ErrorCode::EncryptionBadBase64);
    out = std::move(*bytes);
    return {};
}

Status checkCipher(const XmlTag& tag)
{
    const auto cipher = tag.attribute("cipherAlgorithm");
    const auto chaining = tag.attribute("cipherChaining");
    if (!cipher || !chaining)
        return makeError(ErrorCode::EncryptionFieldMissing);
    if (*cipher != "AES")
        return makeError(ErrorCode::UnsupportedCipher);
    if (*chaining != "ChainingModeCBC")
        return makeError(ErrorCode::UnsupportedChaining);
    return {};
}

Status readParams(const XmlTag& tag, AgileCipherParams& params)
{
    if (Status s = checkCipher(tag); !s)
        return s.error();
    for (auto [name, field] : {std::pair{"saltSize", &params.saltSize}, {"blockSize", &params.blockSize},
                               {"keyBits", &params.keyBits}, {"hashSize", &params.hashSize}})
        if (Status s = readNumber(tag, name, *field); !s)
            return s.error();
    const auto hashName = tag.attribute("hashAlgorithm");
    if (!hashName)
        return makeError(ErrorCode::EncryptionFieldMissing);
    const auto hash = hashAlgorithmNamed(*hashName);
    if (!hash)
        return makeError(ErrorCode::UnsupportedHash);
    params.hash = *hash;
    if (Status s = readBytes(tag, "saltValue", params.salt); !s)
        return s.error();
    if (params.keyBits != 128 && params.keyBits != 192 && params.keyBits != 256)
        return makeError(ErrorCode::EncryptionBadKeySize);
    if (params.blockSize != 16)
        return makeError(ErrorCode::EncryptionBadBlockSize);
    if (params.hashSize != digestSize(params.hash))
        return makeError(ErrorCode::EncryptionBadHashSize);
    if (params.saltSize < 1 || params.saltSize > 64 || params.salt.size() != params.saltSize)
        return makeError(ErrorCode::EncryptionBadSaltSize);
    return {};
}

size_t roundedToBlock(size_t size, size_t block) { return (size + block - 1) / block * block; }

bool holdsBlocks(const std::vector<uint8_t>& value, size_t atLeast, size_t block)
{
    return value.size() >= roundedToBlock(atLeast, block) && value.size() % block == 0;
}

Status readPasswordKey(const XmlTag& tag, AgilePasswordKey& key)
{
    if (Status s = readParams(tag, key.params); !s)
        return s.error();
    if (Status s = readNumber(tag, "spinCount", key.spinCount); !s)
        return s.error();
    if (key.spinCount > kMaxSpinCount)
        return makeError(ErrorCode::SpinCountTooLarge);
    for (auto [name, field] : {std::pair{"encryptedVerifierHashInput", &key.encryptedVerifierHashInput},
                               {"encryptedVerifierHashValue", &key.encryptedVerifierHashValue},
                               {"encryptedKeyValue", &key.encryptedKeyValue}})
        if (Status s = readBytes(tag, name, *field); !s)
            return s.error();
    const size_t block = key.params.blockSize;
    if (!holdsBlocks(key.encryptedVerifierHashInput, key.params.saltSize, block) ||
        !holdsBlocks(key.encryptedVerifierHashValue, key.params.hashSize, block) ||
        !holdsBlocks(key.encryptedKeyValue, key.params.keyBits / 8, block))
        return makeError(ErrorCode::VerifierMalformed);
    return {};
}

}  // namespace

Result<AgileDescriptor> parseAgileDescriptor(std::string_view xml)
{
    const auto tags = startTags(xml);
    if (!tags)
        return makeError(ErrorCode::EncryptionMalformed);
    const Found found = findElements(*tags);
    if (!found.keyData || !found.passwordKey)
        return makeError(ErrorCode::EncryptionFieldMissing);
    AgileDescriptor descriptor;
    if (Status s = readParams(*found.keyData, descriptor.keyData); !s)
        return s.error();
    if (Status s = readPasswordKey(*found.passwordKey, descriptor.passwordKey); !s)
        return s.error();
    if (found.integrity) {
        if (Status s = readBytes(*found.integrity, "encryptedHmacKey", descriptor.encryptedHmacKey); !s)
            return s.error();
        if (Status s = readBytes(*found.integrity, "encryptedHmacValue", descriptor.encryptedHmacValue); !s)
            return s.error();
    }
    return descriptor;
}

namespace {

std::string paramsXml(const AgileCipherParams& p)
{
    return "saltSize=\"" + std::to_string(p.saltSize) + "\" blockSize=\"" + std::to_string(p.blockSize) + "\" keyBits=\"" +
           std::to_string(p.keyBits) + "\" hashSize=\"" + std::to_string(p.hashSize) +
           "\" cipherAlgorithm=\"AES\" cipherChaining=\"ChainingModeCBC\" hashAlgorithm=\"" +
           std::string(hashAlgorithmName(p.hash)) + "\" saltValue=\"" + base64Encode(p.salt) + "\"";
}

}  // namespace

std::string agileDescriptorXml(const AgileDescriptor& d)
{
    const AgilePasswordKey& k = d.passwordKey;
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<encryption xmlns=\"http://schemas.microsoft.com/office/2006/encryption\" "
        "xmlns:p=\"http://schemas.microsoft.com/office/2006/keyEncryptor/password\" "
        "xmlns:c=\"http://schemas.microsoft.com/office/2006/keyEncryptor/certificate\">";
    xml += "<keyData " + paramsXml(d.keyData) + "/>";
    if (!d.encryptedHmacKey.empty())
        xml += "<dataIntegrity encryptedHmacKey=\"" + base64Encode(d.encryptedHmacKey) + "\" encryptedHmacValue=\"" +
               base64Encode(d.encryptedHmacValue) + "\"/>";
    xml += "<keyEncryptors><keyEncryptor uri=\"" + std::string(kPasswordEncryptorUri) + "\"><p:encryptedKey spinCount=\"" +
           std::to_string(k.spinCount) + "\" " + paramsXml(k.params) + " encryptedVerifierHashInput=\"" +
           base64Encode(k.encryptedVerifierHashInput) + "\" encryptedVerifierHashValue=\"" +
           base64Encode(k.encryptedVerifierHashValue) + "\" encryptedKeyValue=\"" + base64Encode(k.encryptedKeyValue) +
           "\"/></keyEncryptor></keyEncryptors></encryption>";
    return xml;
}

}  // namespace varnex::crypto
