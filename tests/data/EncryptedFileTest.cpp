// Databases whose pages are encrypted (.accdb: agile AES and RC4 CryptoAPI, under the database
// password) or encoded (Jet 4: RC4 under the database key): opened, listed and read through the
// reader process with the right password only.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"  // gcc 12 false alarm on std::variant in lists

#include "WriterDatabase.h"

#include "data/ReaderProcess.h"
#include "store/ReaderProtocol.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <future>
#include <thread>

namespace varnex {
namespace {

using jetwriter::ColumnType;
using jetwriter::Encryption;
using jetwriter::Format;

const QString kAce = QStringLiteral("Provider=Microsoft.ACE.OLEDB.12.0");
const QString kBadPassword = QStringLiteral("Not a valid password.");

jetwriter::Database SecretDatabase(Format format, std::optional<std::string> password, Encryption encryption,
                                   uint32_t encodingKey = 0)
{
    jetwriter::Table table{"Secret", {{"ID", ColumnType::Long}, {"Word", ColumnType::Text}, {"Long", ColumnType::Memo}}, {}, {}};
    for (int64_t i = 1; i <= 3; ++i)
        table.rows.push_back({i, "word " + std::to_string(i), std::string(6000, static_cast<char>('a' + i))});
    jetwriter::Database database{format, std::move(password), encryption, 45000.0, {table}};
    database.spinCount = 1000;
    database.encodingKey = encodingKey;
    return database;
}

struct OpenCase {
    const char* name;
    jetwriter::Database database;
    QString connectionString;
    QString password;
    QString expected;  // "" opens
};

// The rows of Secret as text, or the error of the list or the read.
std::string ListAndRead(Connection& connection)
{
    const auto schema = connection.openTableSchema();
    if (!schema.ok())
        return schema.error().description.toStdString();
    QStringList names;
    for (int64_t row = 0; row < *(*schema)->recordCount(); ++row)
        names << (*schema)->cellText(row, 2);
    if (!names.contains("Secret"))
        return "no Secret in " + names.join(", ").toStdString();
    Recordset rs;
    if (const Status loaded = rs.open("Secret", &connection); !loaded.ok())
        return loaded.error().description.toStdString();
    QStringList rows;
    for (int64_t row = 0; row < *rs.recordCount(); ++row)
        rows << rs.cellText(row, 1) + " " + QString::number(rs.cellText(row, 2).size());
    return rows.join(", ").toStdString();
}

TEST(EncryptedFileTest, OpensListsAndReadsWithTheRightPasswordOnly)
{
    const auto agile = SecretDatabase(Format::Ace2010, "Geheim \u20ac", Encryption::Agile);
    const auto rc4 = SecretDatabase(Format::Ace2007, "s3cret", Encryption::Rc4CryptoApi);
    const auto encoded = SecretDatabase(Format::Jet4, std::nullopt, Encryption::Agile, 0x5EC2E7u);
    const auto encodedWithPassword = SecretDatabase(Format::Jet4, "pw", Encryption::Agile, 0x12345678u);
    const QString jet4 = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0");
    const std::vector<OpenCase> cases = {
        {"agile, right", agile, kAce, "Geheim \u20ac", ""},
        {"agile, other case", agile, kAce, "geheim \u20ac", kBadPassword},
        {"agile, none", agile, kAce, "", kBadPassword},
        {"agile, from the connection string", agile, kAce + ";Jet OLEDB:Database Password=Geheim \u20ac", "wrong", ""},
        {"rc4, right", rc4, kAce, "s3cret", ""},
        {"rc4, wrong", rc4, kAce, "s3cret ", kBadPassword},
        {"rc4, none", rc4, kAce, "", kBadPassword},
        {"jet 4 encoded", encoded, jet4, "", ""},
        {"jet 3 encoded", SecretDatabase(Format::Jet3, std::nullopt, Encryption::Agile, 0xA1B2C3D4u),
         QStringLiteral("Provider=Microsoft.Jet.OLEDB.3.51"), "", ""},
        {"jet 4 encoded with password", encodedWithPassword, jet4, "pw", ""},
        {"jet 4 encoded, wrong password", encodedWithPassword, jet4, "pW", kBadPassword},
    };
    test::TempDir dir;
    const std::string expectedRows = "word 1 6000, word 2 6000, word 3 6000";
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = test::WriteDatabase(dir, c.database, QStringLiteral("secret.accdb"));
        Connection connection;
        connection.setConnectionString(c.connectionString);
        const Status opened = connection.open(path, "Admin", c.password);
        if (!c.expected.isEmpty()) {
            ASSERT_FALSE(opened.ok());
            EXPECT_EQ(opened.error().description.toStdString(), c.expected.toStdString());
            continue;
        }
        ASSERT_TRUE(opened.ok()) << opened.error().description.toStdString();
        EXPECT_EQ(ListAndRead(connection), expectedRows);
    }
}

TEST(EncryptedFileTest, FileAccessEncryptedOpensWithItsPassword)
{
    const QString path = QDir(qEnvironmentVariable("VARNEX_REALDATA")).filePath("encryptedV2010.accdb");
    if (!QFile::exists(path))
        GTEST_SKIP() << "no real Access files here";
    for (const QString& wrong : {QString(), QStringLiteral("Password"), QStringLiteral("password ")}) {
        Connection connection;
        connection.setConnectionString(kAce);
        const Status opened = connection.open(path, "Admin", wrong);
        ASSERT_FALSE(opened.ok());
        EXPECT_EQ(opened.error().description.toStdString(), kBadPassword.toStdString());
    }
    Connection connection;
    connection.setConnectionString(kAce);
    ASSERT_TRUE(connection.open(path, "Admin", "password").ok());
    const auto schema = connection.openTableSchema();
    ASSERT_TRUE(schema.ok()) << schema.error().description.toStdString();
    Recordset rs;
    const Status loaded = rs.open("Table1", &connection);
    ASSERT_TRUE(loaded.ok()) << loaded.error().description.toStdString();
    QStringList cells;
    for (int64_t row = 0; row < *rs.recordCount(); ++row) {
        for (int column = 0; column < rs.columnCount(); ++column)
            cells << rs.columnName(column) + "=" + rs.cellText(row, column);
    }
    EXPECT_EQ(cells.join(", ").toStdString(), "ID=1, Data=One, ID=2, Data=Two, ID=3, Data=Three");
}

// The kinds of the messages the reader sends, in order, as it reads table of the file at path.
std::vector<reader::MessageKind> MessagesOfReader(const QString& path, const QString& table, const QByteArray& password)
{
    QProcess process;
    process.start(qEnvironmentVariable("VARNEX_BIN_DIR") + QStringLiteral("/varnex-reader"),
                  {QStringLiteral("--password-on-stdin"), path, table});
    if (!process.waitForStarted(60000))
        return {};
    process.write(password);
    process.closeWriteChannel();
    if (!process.waitForFinished(300000))
        return {};
    const QByteArray output = process.readAllStandardOutput();
    std::vector<reader::MessageKind> kinds;
    for (qsizetype at = 0; output.size() - at >= static_cast<qsizetype>(sizeof(reader::MessageHeader));) {
        reader::MessageHeader header;
        std::memcpy(&header, output.constData() + at, sizeof header);
        kinds.push_back(static_cast<reader::MessageKind>(header.kind));
        at += static_cast<qsizetype>(sizeof header + header.length);
    }
    return kinds;
}

// Decrypting every page of a large file takes the reader a while before its first row; it says it
// is working meanwhile, again and again, so that the watch does not end it as stalled however slow
// the machine.
TEST(EncryptedFileTest, LargeEncryptedFileIsNotTakenForAStalledReader)
{
    test::TempDir dir;
    jetwriter::Database database = SecretDatabase(Format::Ace2010, "big", Encryption::Rc4CryptoApi);
    auto next = std::make_shared<int64_t>(0);
    database.tables.push_back({"Big", {{"N", ColumnType::Long}, {"T", ColumnType::Text, 255}}, {}, [next](jetwriter::Row& row) {
                                   row = {*next, std::string(200, 'b')};
                                   return ++*next <= 60000;
                               }});
    const QString path = test::WriteDatabase(dir, database, QStringLiteral("big.accdb"));
    const qint64 pages = QFileInfo(path).size() / 4096;
    ASSERT_GT(pages, 2000);

    const std::vector<reader::MessageKind> kinds = MessagesOfReader(path, QStringLiteral("Secret"), "big");
    ASSERT_FALSE(kinds.empty()) << "the reader did not run to its end";
    const auto columns = std::find(kinds.begin(), kinds.end(), reader::MessageKind::Columns);
    ASSERT_NE(columns, kinds.end());
    const auto signsOfLife = std::count(kinds.begin(), columns, reader::MessageKind::Working);
    EXPECT_GT(signsOfLife, 1) << "before the first row of a file of " << pages << " pages";
    EXPECT_EQ(std::count(kinds.begin(), columns, reader::MessageKind::Working), columns - kinds.begin())
        << "nothing but signs of life before the columns";
    EXPECT_EQ(kinds.back(), reader::MessageKind::Done);

    // And the watch reads it through.
    Connection connection;
    connection.setConnectionString(kAce);
    ASSERT_TRUE(connection.open(path, "Admin", "big").ok());
    Recordset rs;
    const Status loaded = rs.open("Secret", &connection);
    ASSERT_TRUE(loaded.ok()) << loaded.error().description.toStdString();
    EXPECT_EQ(*rs.recordCount(), 3);
}

QByteArray ProcFile(const QString& pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid, QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What ps shows of the reader, while it runs, names the file but never the password.
TEST(EncryptedFileTest, PasswordNeverAppearsAmongTheReadersArgumentsOrEnvironment)
{
    test::TempDir dir;
    const QString path = test::WriteDatabase(dir, SecretDatabase(Format::Ace2010, "VerySecret42", Encryption::Agile),
                                             QStringLiteral("watched.accdb"));
    Connection connection;
    connection.setConnectionString(kAce);
    ASSERT_TRUE(connection.open(path, "Admin", "VerySecret42").ok());
    ReaderOptions stalling;
    stalling.stallTimeout = std::chrono::milliseconds(3000);
    stalling.program = qEnvironmentVariable("VARNEX_BIN_DIR") + QStringLiteral("/faulty-reader");
    stalling.extraArguments = {QStringLiteral("--stall")};
    const ReaderOptions previous = setReaderOptionsForTesting(stalling);
    auto read = std::async(std::launch::async, [&] { return Recordset().open("Secret", &connection); });
    QByteArray commandLine;
    QByteArray environment;
    for (int attempt = 0; attempt < 250 && commandLine.isEmpty(); ++attempt) {
        for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            const QByteArray line = ProcFile(pid, "cmdline");
            if (line.contains(QFile::encodeName(path)) && line.contains("--stall")) {
                commandLine = line;
                environment = ProcFile(pid, "environ");
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const Status status = read.get();
    setReaderOptionsForTesting(previous);
    ASSERT_FALSE(commandLine.isEmpty()) << "the reader was not seen running";
    EXPECT_TRUE(commandLine.contains("--password-on-stdin"));
    EXPECT_FALSE(commandLine.contains("VerySecret42"));
    EXPECT_FALSE(environment.contains("VerySecret42"));
    EXPECT_TRUE(status.error().description.contains("stopped answering"));
}

}  // namespace
}  // namespace varnex
