// The database definition page as readers decode it: scrambled region, code page, creation date, password.

#include "WriterFixture.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <array>
#include <cmath>
#include <cstring>

namespace jetwriter::test {
namespace {

// Reference decoding of page 0, written from the published format notes.
struct DecodedHeader {
    int version = -1;
    int codePage = 0;
    double created = 0;
    QString password;
};

QByteArray unscrambled(QByteArray page, int length)
{
    const std::array<uint8_t, 4> key = {0xC7, 0xDA, 0x39, 0x6B};
    std::array<uint8_t, 256> s{};
    for (int i = 0; i < 256; ++i)
        s[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    for (size_t i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % 4]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    for (size_t n = 0, i = 0, j = 0; n < static_cast<size_t>(length); ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        page[static_cast<qsizetype>(0x18 + n)] = static_cast<char>(static_cast<uint8_t>(page[static_cast<qsizetype>(0x18 + n)]) ^ s[(s[i] + s[j]) & 0xFF]);
    }
    return page;
}

DecodedHeader decode(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray raw = file.read(2048);
    DecodedHeader header;
    header.version = static_cast<uint8_t>(raw[0x14]);
    const bool jet4 = header.version == 1;
    const QByteArray page = unscrambled(raw, jet4 ? 128 : 126);
    const auto byte = [&](int at) { return static_cast<uint8_t>(page[at]); };
    header.codePage = byte(0x3C) | (byte(0x3D) << 8);
    if (!jet4) {
        header.password = QString::fromLatin1(page.mid(0x42, 20).constData());
        return header;
    }
    std::memcpy(&header.created, page.constData() + 0x72, sizeof header.created);
    const auto days = static_cast<uint32_t>(static_cast<int32_t>(std::trunc(header.created)));
    for (int i = 0; i < 40; i += 2) {
        const auto mask = [&](int k) { return static_cast<uint8_t>(days >> (8 * (k % 4))); };
        const auto unit = static_cast<char16_t>((byte(0x42 + i) ^ mask(i)) | ((byte(0x43 + i) ^ mask(i + 1)) << 8));
        if (unit == 0)
            break;
        header.password.append(QChar(unit));
    }
    return header;
}

struct PasswordCase {
    Format format;
    std::optional<std::string> password;
    QString expected;
};

class HeaderPageTest : public WriterTest {};

TEST_F(HeaderPageTest, PasswordAndFieldsDecodeAsWritten)
{
    const std::vector<PasswordCase> cases = {
        {Format::Jet4, std::nullopt, ""},
        {Format::Jet4, "secret", "secret"},
        {Format::Jet4, "Geheim€ß", QString::fromUtf8("Geheim€ß")},
        {Format::Jet4, "12345678901234567890", "12345678901234567890"},
        {Format::Jet3, std::nullopt, ""},
        {Format::Jet3, "secret", "secret"},
        {Format::Jet3, "12345678901234567890", "12345678901234567890"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(formatName(c.format) + " " + c.password.value_or("(none)"));
        Database database = singleTable(c.format, Table{"T", {{"A", ColumnType::Long}}, {}, {}});
        database.password = c.password;
        database.created = 45123.75;
        const DecodedHeader header = decode(write(database));
        EXPECT_EQ(header.version, c.format == Format::Jet3 ? 0 : 1);
        EXPECT_EQ(header.codePage, 1252);
        EXPECT_EQ(header.password, c.expected);
        if (c.format == Format::Jet4) {
            EXPECT_EQ(header.created, 45123.75);
        }
    }
}

TEST_F(HeaderPageTest, PasswordLongerThanTwentyCharactersIsRefused)
{
    Database database = singleTable(Format::Jet4, Table{"T", {{"A", ColumnType::Long}}, {}, {}});
    database.password = std::string(21, 'x');
    EXPECT_THROW(write(database), std::runtime_error);
}

TEST_F(HeaderPageTest, PasswordProtectedFileStillReadsThroughLibmdb)
{
    Database database = singleTable(Format::Jet4, Table{"T", {{"A", ColumnType::Long}}, {{int64_t{5}}}, {}});
    database.password = "pw";
    const MdbFile file(write(database));
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(file.read("T").rows, std::vector<ReadRow>{{"5"}});
}

// The decoding above, applied to files Access made, finds what Access wrote: no password, code page 1252.
TEST_F(HeaderPageTest, ReferenceDecodingMatchesAccessFiles)
{
    const QByteArray folder = qgetenv("VARNEX_REALDATA");
    if (folder.isEmpty() || !QDir(QString::fromLocal8Bit(folder)).exists())
        GTEST_SKIP() << "no real Access files here";
    for (const char* name : {"emptyV2000.mdb", "testV1997.mdb"}) {
        const std::string path = QDir(QString::fromLocal8Bit(folder)).filePath(name).toStdString();
        if (!QFile::exists(QString::fromStdString(path)))
            GTEST_SKIP() << name << " missing";
        const DecodedHeader header = decode(path);
        EXPECT_EQ(header.codePage, 1252) << name;
        EXPECT_EQ(header.password, "") << name;
    }
}

}  // namespace
}  // namespace jetwriter::test
