// New encryption of both methods: the password check, and pages that encrypt and decrypt back.

#include "AcePage.h"

#include <gtest/gtest.h>

namespace varnex::crypto::test {
namespace {

struct RoundTripCase {
    const char* label;
    Method method;
    std::u16string password;
    uint32_t rc4KeyBits;
};

std::vector<uint8_t> samplePage(uint32_t seed)
{
    std::vector<uint8_t> page(kPageSize);
    for (size_t i = 0; i < page.size(); ++i)
        page[i] = static_cast<uint8_t>(i * 31 + seed * 7 + (i >> 8));
    return page;
}

TEST(PageCipherTest, NewEncryptionOpensOnlyWithItsPasswordAndPagesRoundTrip)
{
    const std::vector<RoundTripCase> cases = {
        {"agile", Method::Agile, u"password", 0},
        {"agile, non-ASCII password", Method::Agile, u"Geheim\u20AC\u00DF", 0},
        {"agile, empty password", Method::Agile, u"", 0},
        {"RC4 128-bit", Method::Rc4CryptoApi, u"password", 128},
        {"RC4 40-bit", Method::Rc4CryptoApi, u"x", 40},
        {"RC4 56-bit, non-ASCII", Method::Rc4CryptoApi, u"\u00E4\u00F6\u00FC", 56},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const auto made = createEncryption(c.method, c.password, 2000, c.rc4KeyBits);
        ASSERT_TRUE(made.ok()) << made.error().description.toStdString();
        const auto header = readEncryptionHeader(acePage0(*made));
        ASSERT_TRUE(header.ok()) << header.error().description.toStdString();
        EXPECT_EQ(header->method, c.method);
        EXPECT_EQ(verifyPassword(*header, c.password).value(), true);
        for (const std::u16string& wrong : {c.password + u"!", std::u16string(u"Password"), std::u16string()}) {
            if (wrong != c.password) {
                EXPECT_EQ(verifyPassword(*header, wrong).value(), false);
            }
        }
        EXPECT_EQ(failureOf(PageCipher::open(*header, c.password + u"!")), ErrorCode::BadPassword);

        // The cipher opened from the stored header decrypts what the writer's cipher encrypted.
        const auto reader = PageCipher::open(*header, c.password);
        ASSERT_TRUE(reader.ok());
        std::vector<std::vector<uint8_t>> encrypted;
        for (uint32_t pageNumber : {0u, 1u, 2u, 0x00FFFFFFu}) {
            std::vector<uint8_t> page = samplePage(pageNumber);
            ASSERT_TRUE(made->cipher.encryptPage(pageNumber, page).ok());
            EXPECT_EQ(page == samplePage(pageNumber), pageNumber == 0) << "page " << pageNumber;
            encrypted.push_back(page);
            ASSERT_TRUE(reader->decryptPage(pageNumber, page).ok());
            EXPECT_EQ(page, samplePage(pageNumber)) << "page " << pageNumber;
        }
        // Identical contents encrypt differently on different pages.
        std::vector<uint8_t> a = samplePage(9), b = samplePage(9);
        ASSERT_TRUE(made->cipher.encryptPage(1, a).ok());
        ASSERT_TRUE(made->cipher.encryptPage(2, b).ok());
        EXPECT_NE(a, b);
    }
}

TEST(PageCipherTest, AgilePagesMustBeWholeBlocksAndBadSettingsAreRefused)
{
    const auto made = createEncryption(Method::Agile, u"pw", 10);
    ASSERT_TRUE(made.ok());
    std::vector<uint8_t> odd(100);
    EXPECT_EQ(failureOf(made->cipher.encryptPage(1, odd)), ErrorCode::PageSizeInvalid);
    EXPECT_TRUE(made->cipher.encryptPage(0, odd).ok());
    EXPECT_EQ(failureOf(createEncryption(Method::Agile, u"pw", kMaxSpinCount + 1)), ErrorCode::SpinCountTooLarge);
    EXPECT_EQ(failureOf(createEncryption(Method::Rc4CryptoApi, u"pw", 10, 132)), ErrorCode::EncryptionBadKeySize);
    EXPECT_EQ(failureOf(createEncryption(Method::StandardAes, u"pw")), ErrorCode::UnsupportedEncryption);
    std::vector<uint8_t> tooSmall(0x300);
    EXPECT_EQ(failureOf(installEncryption(tooSmall, *made)), ErrorCode::HeaderPageTooShort);
}

}  // namespace
}  // namespace varnex::crypto::test
