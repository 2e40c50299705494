#include "crypto/Ciphers.h"
#include "data/Connection.h"
#include "store/FieldTypes.h"
#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace varnex {
namespace {

const QString kJet3 = "Provider=Microsoft.Jet.OLEDB.3.51";
const QString kJet4 = "Provider=Microsoft.Jet.OLEDB.4.0";
const QString kAce = "Provider=Microsoft.ACE.OLEDB.12.0";

// A header page as Access lays it out: magic, version, the scrambled block with
// code page, password (Jet 4: masked with the creation date) and date.
QByteArray HeaderPage(int version, const std::u16string& password, double creationDate = 41000.5)
{
    const bool jet3 = version == 0;
    QByteArray page(jet3 ? 2048 : 4096, '\0');
    const char* magic = version >= 2 ? "Standard ACE DB" : "Standard Jet DB";
    page[1] = 1;
    std::memcpy(page.data() + 4, magic, 15);
    page[0x14] = static_cast<char>(version);
    page[0x3C] = static_cast<char>(1252 & 0xFF);
    page[0x3D] = static_cast<char>(1252 >> 8);
    if (jet3) {
        for (size_t i = 0; i < password.size(); ++i)
            page[static_cast<int>(0x42 + i)] = static_cast<char>(password[i]);
    } else {
        std::memcpy(page.data() + 0x72, &creationDate, sizeof creationDate);
        const auto days = static_cast<uint32_t>(static_cast<int32_t>(creationDate));
        for (int i = 0; i < 40; ++i) {
            const size_t unit = static_cast<size_t>(i / 2);
            const char16_t c = unit < password.size() ? password[unit] : u'\0';
            const auto byte = static_cast<uint8_t>(i % 2 == 0 ? c & 0xFF : c >> 8);
            page[0x42 + i] = static_cast<char>(byte ^ static_cast<uint8_t>(days >> (8 * (i % 4))));
        }
    }
    const std::array<uint8_t, 4> key = {0xC7, 0xDA, 0x39, 0x6B};
    crypto::rc4(key, std::span<uint8_t>(reinterpret_cast<uint8_t*>(page.data()) + 0x18, jet3 ? 126u : 128u));
    return page;
}

QString WriteFile(const test::TempDir& dir, const QString& name, const QByteArray& firstPage, int pages = 4)
{
    QByteArray content = firstPage;
    content.append(QByteArray(firstPage.size() * (pages - 1), '\0'));
    QFile file(dir.file(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return file.fileName();
}

struct OpenCase {
    const char* name;
    int version;           // -1: file with a foreign header, -2: missing file, -3: truncated
    std::u16string dbPassword;
    QString connectionString;
    QString user;
    QString password;
    QString expected;      // "" = opens; otherwise the error text with %1 for the path
};

TEST(ConnectionTest, OpenChecksProviderFormatAndCredentials)
{
    const std::vector<OpenCase> cases = {
        {"jet3 on 3.51", 0, u"", kJet3, "Admin", "", ""},
        {"jet4 on 3.51", 1, u"", kJet3, "Admin", "", "Unrecognized database format '%1'."},
        {"jet4 on 4.0", 1, u"", kJet4, "Admin", "", ""},
        {"jet3 on 4.0", 0, u"", kJet4, "Admin", "", ""},
        {"accdb on 4.0", 2, u"", kJet4, "Admin", "", "Unrecognized database format '%1'."},
        {"accdb on ACE", 2, u"", kAce, "Admin", "", ""},
        {"provider any case", 1, u"", "provider=MICROSOFT.JET.OLEDB.4.0;", "admin", "", ""},
        {"unknown provider", 1, u"", "Provider=SQLOLEDB", "Admin", "", "Provider cannot be found. It may not be properly installed."},
        {"missing file", -2, u"", kJet4, "Admin", "", "Could not find file '%1'."},
        {"foreign header", -1, u"", kJet4, "Admin", "", "Unrecognized database format '%1'."},
        {"truncated", -3, u"", kJet4, "Admin", "", "Unrecognized database format '%1'."},
        {"other user", 1, u"", kJet4, "Guest", "", "Not a valid account name or password."},
        {"password on open db", 1, u"", kJet4, "Admin", "x", "Not a valid account name or password."},
        {"jet4 password right", 1, u"S\u00e9cret", kJet4, "Admin", "S\u00e9cret", ""},
        {"jet4 password wrong case", 1, u"Secret", kJet4, "Admin", "secret", "Not a valid password."},
        {"jet4 password missing", 1, u"Secret", kJet4, "Admin", "", "Not a valid password."},
        {"password from string", 1, u"Secret", kJet4 + ";Jet OLEDB:Database Password=Secret", "Admin", "wrong", ""},
        {"jet3 password right", 0, u"abc", kJet3, "Admin", "abc", ""},
        {"jet3 password wrong", 0, u"abc", kJet3, "Admin", "abd", "Not a valid password."},
        {"full length password", 1, u"abcdefghijklmnopqrst", kJet4, "Admin", "abcdefghijklmnopqrst", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        QString path = dir.file("db.mdb");
        if (c.version >= 0)
            path = WriteFile(dir, "db.mdb", HeaderPage(c.version, c.dbPassword));
        else if (c.version == -1)
            path = WriteFile(dir, "db.mdb", QByteArray(4096, 'x'));
        else if (c.version == -3)
            path = WriteFile(dir, "db.mdb", HeaderPage(1, u"").left(100), 1);

        Connection connection;
        EXPECT_FALSE(connection.isOpen());
        connection.setConnectionString(c.connectionString);
        const Status status = connection.open(path, c.user, c.password);
        if (c.expected.isEmpty()) {
            EXPECT_TRUE(status.ok()) << status.error().description.toStdString();
            EXPECT_TRUE(connection.isOpen());
            EXPECT_EQ(connection.connectionString(), c.connectionString);
            EXPECT_TRUE(connection.close().ok());
            EXPECT_FALSE(connection.isOpen());
        } else {
            ASSERT_FALSE(status.ok());
            const QString expected = c.expected.contains(u"%1") ? c.expected.arg(path) : c.expected;
            EXPECT_EQ(status.error().description, expected);
            EXPECT_FALSE(connection.isOpen());
        }
    }
}

TEST(ConnectionTest, FallsBackFromJet3ProviderToJet4LikeTheStartUp)
{
    test::TempDir dir;
    const QString path = WriteFile(dir, "db.mdb", HeaderPage(1, u""));
    Connection connection;
    connection.setConnectionString(kJet3);
    EXPECT_FALSE(connection.open(path, "Admin", "").ok());
    connection.setConnectionString(kJet4);
    EXPECT_TRUE(connection.open(path, "Admin", "").ok());
    EXPECT_EQ(connection.connectionString(), kJet4);
}

TEST(ConnectionTest, OpenTwiceAndCloseTwiceFail)
{
    test::TempDir dir;
    const QString path = WriteFile(dir, "db.mdb", HeaderPage(1, u""));
    Connection connection;
    connection.setConnectionString(kJet4);
    ASSERT_TRUE(connection.open(path, "Admin", "").ok());
    EXPECT_EQ(connection.open(path, "Admin", "").error().code, ErrorCode::ObjectOpen);
    EXPECT_TRUE(connection.close().ok());
    EXPECT_EQ(connection.close().error().code, ErrorCode::ObjectClosed);
}

TEST(ConnectionTest, OpensEveryRealAccessFile)
{
    const QString dir = qEnvironmentVariable("VARNEX_REALDATA");
    if (dir.isEmpty() || !QFile::exists(dir + "/testV1997.mdb"))
        GTEST_SKIP() << "no real Access files here";
    const std::vector<std::pair<QString, QString>> files = {
        {"testV1997.mdb", kJet3}, {"test2V1997.mdb", kJet3}, {"testV2000.mdb", kJet4},
        {"testV2003.mdb", kJet4}, {"emptyV2000.mdb", kJet4}, {"testV2007.accdb", kAce}};
    for (const auto& [name, provider] : files) {
        SCOPED_TRACE(name.toStdString());
        Connection connection;
        connection.setConnectionString(provider);
        const Status status = connection.open(dir + "/" + name, "Admin", "");
        EXPECT_TRUE(status.ok()) << status.error().description.toStdString();
    }
}

}  // namespace
}  // namespace varnex
