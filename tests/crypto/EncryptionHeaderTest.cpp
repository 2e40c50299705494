// The encryption structure on page 0: methods recognised, and damage reported as named errors.

#include "AcePage.h"

#include <gtest/gtest.h>

namespace varnex::crypto::test {
namespace {

constexpr std::array<uint8_t, 4> kKey = {0x12, 0x34, 0x56, 0x78};

std::string asText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }
std::vector<uint8_t> asBytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// An attribute's value replaced, in the password key encryptor (the later occurrence) or in keyData.
std::string withAttribute(const std::string& xml, const std::string& name, const std::string& value, bool inKeyData = false)
{
    const size_t at = inKeyData ? xml.find(" " + name + "=\"") : xml.rfind(" " + name + "=\"");
    const size_t start = at + name.size() + 3;
    return xml.substr(0, start) + value + xml.substr(xml.find('"', start));
}

const NewEncryption& agile()
{
    static const NewEncryption made = *createEncryption(Method::Agile, u"pw", 1000);
    return made;
}

const NewEncryption& rc4()
{
    static const NewEncryption made = *createEncryption(Method::Rc4CryptoApi, u"pw");
    return made;
}

std::vector<uint8_t> rc4With(size_t at, uint32_t value)
{
    std::vector<uint8_t> s = rc4().structure;
    for (int i = 0; i < 4; ++i)
        s[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    return s;
}

struct DamageCase {
    const char* label;
    std::vector<uint8_t> page;
    ErrorCode expected;
};

std::vector<DamageCase> damageCases()
{
    const std::string xml = asText(agile().structure);
    const auto agileWith = [&](const std::string& text) { return acePage0(kKey, asBytes(text)); };
    auto jet = acePage0(kKey, {});
    std::memcpy(jet.data() + 4, "Standard Jet DB", 15);
    auto overlong = acePage0(agile());
    overlong[kStructureLengthOffset + 1] = 0x10;
    const size_t header = 12;  // RC4: version, flags and header size come first
    return {
        {"short page", std::vector<uint8_t>(100, 0), ErrorCode::HeaderPageTooShort},
        {"Jet signature", jet, ErrorCode::NotAceDatabase},
        {"length past the page", overlong, ErrorCode::EncryptionTruncated},
        {"structure of two bytes", acePage0(kKey, {4, 0}), ErrorCode::EncryptionTruncated},
        {"agile without XML", acePage0(kKey, {4, 0, 4, 0}), ErrorCode::EncryptionTruncated},
        {"agile reserved word", agileWith(replaced(xml, std::string("\x40\0\0\0", 4), std::string("\x41\0\0\0", 4))),
         ErrorCode::EncryptionMalformed},
        {"unterminated quote", agileWith(xml.substr(0, xml.find("spinCount=\"") + 13)), ErrorCode::EncryptionMalformed},
        {"no password encryptor", agileWith(replaced(xml, "keyEncryptor/password\"><", "keyEncryptor/other\"><")),
         ErrorCode::EncryptionFieldMissing},
        {"no key value", agileWith(replaced(xml, "encryptedKeyValue=", "encryptedKeyValu=")), ErrorCode::EncryptionFieldMissing},
        {"spin count beyond bound", agileWith(withAttribute(xml, "spinCount", "10000001")), ErrorCode::SpinCountTooLarge},
        {"spin count not a number", agileWith(withAttribute(xml, "spinCount", "1e5")), ErrorCode::EncryptionBadNumber},
        {"spin count negative", agileWith(withAttribute(xml, "spinCount", "-1")), ErrorCode::EncryptionBadNumber},
        {"key bits", agileWith(withAttribute(xml, "keyBits", "100")), ErrorCode::EncryptionBadKeySize},
        {"key data key bits", agileWith(withAttribute(xml, "keyBits", "512", true)), ErrorCode::EncryptionBadKeySize},
        {"block size", agileWith(withAttribute(xml, "blockSize", "8")), ErrorCode::EncryptionBadBlockSize},
        {"hash size", agileWith(withAttribute(xml, "hashSize", "20")), ErrorCode::EncryptionBadHashSize},
        {"salt size", agileWith(withAttribute(xml, "saltSize", "17")), ErrorCode::EncryptionBadSaltSize},
        {"hash algorithm", agileWith(withAttribute(xml, "hashAlgorithm", "SHA3")), ErrorCode::UnsupportedHash},
        {"cipher", agileWith(withAttribute(xml, "cipherAlgorithm", "DES", true)), ErrorCode::UnsupportedCipher},
        {"chaining", agileWith(withAttribute(xml, "cipherChaining", "ChainingModeCFB")), ErrorCode::UnsupportedChaining},
        {"base64", agileWith(withAttribute(xml, "saltValue", "@@@@")), ErrorCode::EncryptionBadBase64},
        {"short key value", agileWith(withAttribute(xml, "encryptedKeyValue", "AAAAAAAAAAAAAAAAAAAAAA==")),
         ErrorCode::VerifierMalformed},
        {"RC4 key size", acePage0(kKey, rc4With(header + 16, 256)), ErrorCode::EncryptionBadKeySize},
        {"RC4 hash algorithm", acePage0(kKey, rc4With(header + 12, 0x800C)), ErrorCode::UnsupportedHash},
        {"RC4 header size", acePage0(kKey, rc4With(8, 0x7FFFFFFF)), ErrorCode::EncryptionTruncated},
        {"RC4 cut short", acePage0(kKey, std::vector<uint8_t>(rc4().structure.begin(), rc4().structure.end() - 1)),
         ErrorCode::EncryptionTruncated},
        {"RC4 salt size", acePage0(kKey, rc4With(rc4().structure.size() - 60, 8)), ErrorCode::EncryptionBadSaltSize},
    };
}

TEST(EncryptionHeaderTest, DamagedHeadersGiveNamedErrors)
{
    for (const auto& c : damageCases()) {
        SCOPED_TRACE(c.label);
        const auto header = readEncryptionHeader(c.page);
        ASSERT_FALSE(header.ok()) << methodName(*header);
        EXPECT_EQ(header.error().code, c.expected) << header.error().description.toStdString();
    }
}

// Every truncation of a valid structure is refused or read, never read past its end (checked under ASan).
TEST(EncryptionHeaderTest, EveryTruncationIsHandled)
{
    for (const NewEncryption* made : {&agile(), &rc4()})
        for (size_t length = 0; length < made->structure.size(); length += 7) {
            const std::vector<uint8_t> cut(made->structure.begin(), made->structure.begin() + static_cast<long>(length));
            const auto header = readEncryptionHeader(acePage0(kKey, cut));
            EXPECT_FALSE(header.ok() && header->method == made->header.method) << length;
        }
}

struct MethodCase {
    std::vector<uint8_t> structure;
    Method method;
    std::string name;
};

TEST(EncryptionHeaderTest, MethodsAreRecognisedAndUnsupportedOnesNamed)
{
    std::vector<uint8_t> standard = rc4().structure;
    standard[4] |= kFlagAes;
    const std::vector<MethodCase> cases = {
        {agile().structure, Method::Agile, "agile encryption (AES-256, SHA512)"},
        {rc4().structure, Method::Rc4CryptoApi, "RC4 CryptoAPI encryption (128-bit)"},
        {standard, Method::StandardAes, "standard AES encryption (version 4.2)"},
        {{4, 0, 3, 0, 0, 0, 0, 0}, Method::Extensible, "extensible encryption (version 4.3)"},
        {{1, 0, 1, 0, 0, 0, 0, 0}, Method::OfficeRc4, "Office binary RC4 encryption (version 1.1)"},
        {{9, 0, 9, 0}, Method::Unknown, "encryption version 9.9 (unknown)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto header = readEncryptionHeader(acePage0(kKey, c.structure));
        ASSERT_TRUE(header.ok()) << header.error().description.toStdString();
        EXPECT_EQ(header->method, c.method);
        EXPECT_EQ(header->encodingKey, kKey);
        EXPECT_EQ(methodName(*header), c.name);
        const auto cipher = PageCipher::open(*header, u"pw");
        const bool supported = c.method == Method::Agile || c.method == Method::Rc4CryptoApi;
        EXPECT_EQ(cipher.ok(), supported);
        EXPECT_EQ(failureOf(cipher), supported ? std::nullopt : std::optional(ErrorCode::UnsupportedEncryption));
    }
    const auto plain = readEncryptionHeader(acePage0({0, 0, 0, 0}, agile().structure));
    ASSERT_TRUE(plain.ok());
    EXPECT_EQ(plain->method, Method::None);
}

}  // namespace
}  // namespace varnex::crypto::test
