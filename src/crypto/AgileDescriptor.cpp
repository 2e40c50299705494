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

Error readNumber(const XmlTag& tag, std::string_view name, uint32_t& out)
{
    const auto text = tag.attribute(name);
    if (!text)
        return Error::FieldMissing;
    const auto [end, status] = std::from_chars(text->data(), text->data() + text->size(), out);
    return status == std::errc() && end == text->data() + text->size() && !text->empty() ? Error::None : Error::BadNumber;
}

Error readBytes(const XmlTag& tag, std::string_view name, std::vector<uint8_t>& out)
{
    const auto text = tag.attribute(name);
    if (!text)
        return Error::FieldMissing;
    auto bytes = base64Decode(*text);
    if (!bytes)
        return Error::BadBase64;
    out = std::move(*bytes);
    return Error::None;
}

Error checkCipher(const XmlTag& tag)
{
    const auto cipher = tag.attribute("cipherAlgorithm");
    const auto chaining = tag.attribute("cipherChaining");
    if (!cipher || !chaining)
        return Error::FieldMissing;
    if (*cipher != "AES")
        return Error::UnsupportedCipher;
    return *chaining == "ChainingModeCBC" ? Error::None : Error::UnsupportedChaining;
}

Error readParams(const XmlTag& tag, AgileCipherParams& params)
{
    if (Error e = checkCipher(tag); e != Error::None)
        return e;
    for (auto [name, field] : {std::pair{"saltSize", &params.saltSize}, {"blockSize", &params.blockSize},
                               {"keyBits", &params.keyBits}, {"hashSize", &params.hashSize}})
        if (Error e = readNumber(tag, name, *field); e != Error::None)
            return e;
    const auto hashName = tag.attribute("hashAlgorithm");
    if (!hashName)
        return Error::FieldMissing;
    const auto hash = hashAlgorithmNamed(*hashName);
    if (!hash)
        return Error::UnsupportedHash;
    params.hash = *hash;
    if (Error e = readBytes(tag, "saltValue", params.salt); e != Error::None)
        return e;
    if (params.keyBits != 128 && params.keyBits != 192 && params.keyBits != 256)
        return Error::BadKeySize;
    if (params.blockSize != 16)
        return Error::BadBlockSize;
    if (params.hashSize != digestSize(params.hash))
        return Error::BadHashSize;
    if (params.saltSize < 1 || params.saltSize > 64 || params.salt.size() != params.saltSize)
        return Error::BadSaltSize;
    return Error::None;
}

size_t roundedToBlock(size_t size, size_t block) { return (size + block - 1) / block * block; }

bool holdsBlocks(const std::vector<uint8_t>& value, size_t atLeast, size_t block)
{
    return value.size() >= roundedToBlock(atLeast, block) && value.size() % block == 0;
}

Error readPasswordKey(const XmlTag& tag, AgilePasswordKey& key)
{
    if (Error e = readParams(tag, key.params); e != Error::None)
        return e;
    if (Error e = readNumber(tag, "spinCount", key.spinCount); e != Error::None)
        return e;
    if (key.spinCount > kMaxSpinCount)
        return Error::SpinCountTooLarge;
    for (auto [name, field] : {std::pair{"encryptedVerifierHashInput", &key.encryptedVerifierHashInput},
                               {"encryptedVerifierHashValue", &key.encryptedVerifierHashValue},
                               {"encryptedKeyValue", &key.encryptedKeyValue}})
        if (Error e = readBytes(tag, name, *field); e != Error::None)
            return e;
    const size_t block = key.params.blockSize;
    if (!holdsBlocks(key.encryptedVerifierHashInput, key.params.saltSize, block) ||
        !holdsBlocks(key.encryptedVerifierHashValue, key.params.hashSize, block) ||
        !holdsBlocks(key.encryptedKeyValue, key.params.keyBits / 8, block))
        return Error::VerifierMalformed;
    return Error::None;
}

}  // namespace

Expected<AgileDescriptor> parseAgileDescriptor(std::string_view xml)
{
    const auto tags = startTags(xml);
    if (!tags)
        return Error::DescriptorMalformed;
    const Found found = findElements(*tags);
    if (!found.keyData || !found.passwordKey)
        return Error::FieldMissing;
    AgileDescriptor descriptor;
    if (Error e = readParams(*found.keyData, descriptor.keyData); e != Error::None)
        return e;
    if (Error e = readPasswordKey(*found.passwordKey, descriptor.passwordKey); e != Error::None)
        return e;
    if (found.integrity) {
        if (Error e = readBytes(*found.integrity, "encryptedHmacKey", descriptor.encryptedHmacKey); e != Error::None)
            return e;
        if (Error e = readBytes(*found.integrity, "encryptedHmacValue", descriptor.encryptedHmacValue); e != Error::None)
            return e;
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
