// Files Access made: an agile-encrypted database opens with its password and its pages decrypt to
// well-formed pages that libmdb reads; an unencrypted one has no encryption.

#include "AcePage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace varnex::crypto::test {
namespace {

std::filesystem::path realFile(const char* name)
{
    const char* folder = std::getenv("VARNEX_REALDATA");
    return folder ? std::filesystem::path(folder) / name : std::filesystem::path();
}

std::vector<uint8_t> readAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string commandOutput(const std::string& command)
{
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    char buffer[4096];
    for (size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        out.append(buffer, n);
    return out;
}

uint32_t u32(const std::vector<uint8_t>& bytes, size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

class RealEncryptedFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(realFile("encryptedV2010.accdb")))
            GTEST_SKIP() << "no real Access files here";
        file_ = readAll(realFile("encryptedV2010.accdb"));
        ASSERT_EQ(file_.size() % kPageSize, 0u);
    }

    std::span<uint8_t> page(size_t n) { return std::span(file_).subspan(n * kPageSize, kPageSize); }

    std::vector<uint8_t> file_;
};

TEST_F(RealEncryptedFileTest, AgileHeaderReadsAndOnlyTheRightPasswordOpens)
{
    const auto header = readEncryptionHeader(page(0));
    ASSERT_TRUE(header.ok()) << header.error().description.toStdString();
    EXPECT_EQ(header->method, Method::Agile);
    EXPECT_EQ(methodName(*header), "agile encryption (AES-256, SHA512)");
    EXPECT_EQ(header->agile->passwordKey.spinCount, 100000u);
    EXPECT_EQ(verifyPassword(*header, u"password").value(), true);
    for (const char16_t* wrong : {u"Password", u"", u"password "})
        EXPECT_EQ(verifyPassword(*header, wrong).value(), false);
}

// Decrypted, every page is of a known type; data pages (past the global usage map on page 1) name a table definition as their owner;
// with the encoding key cleared, libmdb reads the table.
TEST_F(RealEncryptedFileTest, DecryptedPagesAreWellFormedAndReadable)
{
    const auto header = readEncryptionHeader(page(0));
    ASSERT_TRUE(header.ok());
    const auto cipher = PageCipher::open(*header, u"password");
    ASSERT_TRUE(cipher.ok());
    const size_t pages = file_.size() / kPageSize;
    for (size_t n = 1; n < pages; ++n)
        ASSERT_TRUE(cipher->decryptPage(static_cast<uint32_t>(n), page(n)).ok());
    const auto typeOf = [&](size_t n) { return page(n)[0]; };
    EXPECT_EQ(typeOf(1), 0x01);
    ASSERT_EQ(typeOf(2), 0x02);  // MSysObjects' definition
    EXPECT_EQ(u32(file_, 2 * kPageSize + 12), 0x0659u);
    for (size_t n = 1; n < pages; ++n) {
        SCOPED_TRACE(n);
        EXPECT_LE(typeOf(n), 0x08);
        EXPECT_EQ(page(n)[1], typeOf(n) == 0 ? 0 : 1);
        const uint32_t owner = u32(file_, n * kPageSize + 4);
        const bool tableData = n > 1 && typeOf(n) == 0x01 && owner != 0x4C41564C && owner != 0;  // not "LVAL" long values
        EXPECT_TRUE(!tableData || (owner < pages && typeOf(owner) == 0x02)) << "owner " << owner;
    }
    clearEncodingKey(page(0));
    const auto path = std::filesystem::temp_directory_path() / ("varnex-decrypted-" + std::to_string(getpid()) + ".accdb");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file_.data()), static_cast<long>(file_.size()));
    const std::string tables = commandOutput("mdb-tables -1 '" + path.string() + "'");
    const std::string rows = commandOutput("mdb-export '" + path.string() + "' Table1 | wc -l");
    std::filesystem::remove(path);
    EXPECT_EQ(tables, "Table1\n");
    EXPECT_GT(std::stoi(rows), 1);
}

TEST(RealUnencryptedFileTest, Access2007FileHasNoEncryption)
{
    const auto path = realFile("testV2007.accdb");
    if (!std::filesystem::exists(path))
        GTEST_SKIP() << "no real Access files here";
    std::vector<uint8_t> page0 = readAll(path);
    page0.resize(kPageSize);
    const auto header = readEncryptionHeader(page0);
    ASSERT_TRUE(header.ok());
    EXPECT_EQ(header->method, Method::None);
    EXPECT_EQ(header->encodingKey, (std::array<uint8_t, 4>{}));
    page0[0x14] = 1;
    EXPECT_EQ(failureOf(readEncryptionHeader(page0)), ErrorCode::NotAceDatabase);
}

}  // namespace
}  // namespace varnex::crypto::test
