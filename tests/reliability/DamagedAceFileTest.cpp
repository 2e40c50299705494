// Damaged Access 2007+ files through the program's own path: encryption headers that cannot be read,
// encrypted files cut short, and complex columns whose hidden tables are missing or damaged. Each
// ends in a clear message, or in rows whose unreadable values are empty and named in a warning.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"  // gcc 12 false alarm on std::variant in lists

#include "JetFile.h"

#include "core/Clock.h"
#include "core/Log.h"
#include "data/Connection.h"
#include "data/Recordset.h"
#include "jetwriter/JetWriter.h"
#include "support/TempDir.h"

#include <QDate>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace varnex::test {
namespace {

using jetwriter::ColumnType;
using jetwriter::Encryption;
using jetwriter::Format;

const QString kAce = QStringLiteral("Provider=Microsoft.ACE.OLEDB.12.0");
constexpr int kStructureLength = 0x299;
constexpr int kStructure = 0x29B;

jetwriter::Database AceDatabase(std::optional<std::string> password, Encryption encryption)
{
    jetwriter::Table table{"Things",
                           {{"Name", ColumnType::Text},
                            {"Files", ColumnType::Attachment},
                            {"Tags", ColumnType::MultiValue},
                            {"Notes", ColumnType::Memo}},
                           {},
                           {}};
    for (int i = 0; i < 200; ++i) {
        const std::string number = std::to_string(i);
        table.rows.push_back({std::string("thing ").append(number),
                              jetwriter::Attachments{{{std::string("f").append(number).append(".txt"), {'x'}}}},
                              jetwriter::MultiValues{{std::string("t").append(number)}}, std::string(3000, 'n')});
    }
    jetwriter::Database database{Format::Ace2010, std::move(password), encryption, 45000.0, {table}};
    database.spinCount = 1000;
    return database;
}

// Replaces text of the same length in the encryption descriptor of page 0.
void ReplaceInHeader(JetFile& file, const QByteArray& from, const QByteArray& to)
{
    const qsizetype at = file.bytes().indexOf(from);
    ASSERT_GE(at, 0) << from.toStdString();
    ASSERT_LT(at, file.pageSize());
    file.bytes().replace(at, to.size(), to);
}

class DamagedAceFile : public ::testing::Test {
protected:
    void SetUp() override { setLogFolder(dir_.file(QStringLiteral("log/"))); }
    void TearDown() override { setLogFolder({}); }

    QString damaged(const jetwriter::Database& database, const std::function<void(JetFile&)>& damage)
    {
        const QString sound = dir_.file(QStringLiteral("sound.accdb"));
        jetwriter::writeDatabase(database, sound.toStdString());
        auto file = JetFile::load(sound);
        EXPECT_TRUE(file.has_value());
        damage(*file);
        const QString path = dir_.file(QStringLiteral("damaged-%1.accdb").arg(++count_));
        EXPECT_TRUE(file->save(path));
        return path;
    }

    QStringList logLines() const
    {
        QFile log(dir_.file(QStringLiteral("log/")) + currentDateTime().date().toString(QStringLiteral("yyyyMMdd")) +
                  QStringLiteral(".log"));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

    TempDir dir_;
    int count_ = 0;
};

TEST_F(DamagedAceFile, UnreadableEncryptionHeadersGiveAMessageNamingWhy)
{
    struct Case {
        const char* name;
        Encryption encryption;
        std::function<void(JetFile&)> damage;
        QString why;
    };
    const std::vector<Case> cases = {
        {"wrong key length", Encryption::Agile,
         [](JetFile& f) { ReplaceInHeader(f, "keyBits=\"256\"", "keyBits=\"100\""); },
         "the encryption header has an invalid key length"},
        {"salt size", Encryption::Agile, [](JetFile& f) { ReplaceInHeader(f, "saltSize=\"16\"", "saltSize=\"17\""); },
         "the encryption header has a salt of the wrong size"},
        {"key data missing", Encryption::Agile, [](JetFile& f) { ReplaceInHeader(f, "<keyData", "<k?yData"); },
         "the encryption descriptor lacks a required field"},
        {"structure longer than the page", Encryption::Agile, [](JetFile& f) { f.setU16(0, kStructureLength, 0x0F00); },
         "the encryption header is truncated"},
        {"rc4 key length", Encryption::Rc4CryptoApi, [](JetFile& f) { f.setU32(0, kStructure + 4 + 4 + 4 + 16, 200); },
         "the encryption header has an invalid key length"},
        {"standard AES", Encryption::Rc4CryptoApi,
         [](JetFile& f) {
             f.setU8(0, kStructure + 4, 0x24);
             f.setU8(0, kStructure + 4 + 4 + 4, 0x24);
         },
         "it uses standard AES encryption (version 4.2), which cannot be read"},
        {"unknown version", Encryption::Agile,
         [](JetFile& f) {
             f.setU16(0, kStructure, 9);
             f.setU16(0, kStructure + 2, 9);
         },
         "it uses encryption version 9.9 (unknown), which cannot be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = damaged(AceDatabase("pw", c.encryption), c.damage);
        Connection connection;
        connection.setConnectionString(kAce);
        const Status opened = connection.open(path, "Admin", "pw");
        ASSERT_FALSE(opened.ok());
        EXPECT_EQ(opened.error().description.toStdString(),
                  QStringLiteral("The database '%1' cannot be decrypted: %2.").arg(path, c.why).toStdString());
        EXPECT_FALSE(connection.isOpen());
    }
}

// Pages missing from the end of an encrypted file: the pages that are whole are decrypted and read.
TEST_F(DamagedAceFile, EncryptedFilesCutShortEndInRowsOrAMessage)
{
    for (const Encryption encryption : {Encryption::Agile, Encryption::Rc4CryptoApi}) {
        for (const int keptHalfPages : {5, 9, 40, 81}) {
            SCOPED_TRACE(keptHalfPages);
            const QString path = damaged(AceDatabase("pw", encryption), [keptHalfPages](JetFile& f) {
                f.bytes().truncate(std::min<qsizetype>(f.bytes().size() - 1, qsizetype{keptHalfPages} * f.pageSize() / 2));
            });
            Connection connection;
            connection.setConnectionString(kAce);
            const Status opened = connection.open(path, "Admin", "pw");
            ASSERT_TRUE(opened.ok()) << opened.error().description.toStdString();
            const auto schema = connection.openTableSchema();
            Recordset rs;
            const Status loaded = schema.ok() ? rs.open("Things", &connection) : schema.error();
            if (!loaded.ok()) {
                const QString& text = loaded.error().description;
                EXPECT_TRUE(text == QStringLiteral("Unrecognized database format '%1'.").arg(path) ||
                            (text.startsWith("The definition of the table 'Things' (page ") &&
                             text.endsWith(QStringLiteral(" in '%1' is damaged.").arg(path))))
                    << text.toStdString();
            } else {
                EXPECT_LE(*rs.recordCount(), 200);
            }
        }
    }
}

// Only the complex columns whose hidden tables are lost are empty; a warning says which and why.
TEST_F(DamagedAceFile, ComplexColumnWithoutItsHiddenTableIsEmptyAndNamed)
{
    struct Case {
        const char* name;
        std::function<void(JetFile&)> damage;
        QString column;  // the column left empty (Tags: with bothEmpty, Files too)
        QString why;
        bool bothEmpty = false;
    };
    const auto loop = [](const QString& column) {
        return [column](JetFile& f) {
            const auto page = f.definitionPageWithColumn(column);
            ASSERT_TRUE(page.has_value());
            f.setU32(*page, f.nextDefinitionOffset(), *page);
        };
    };
    const std::vector<Case> cases = {
        {"value table damaged", loop("_Files"), "Files", "the hidden table of its values is damaged"},
        {"value table missing",
         [](JetFile& f) {
             // MSysComplexColumns names the value table by its definition page: point it at a page without one.
             const auto links = f.definitionPageWithColumn("FlatTableID");
             const auto values = f.definitionPageWithColumn("_Tags");
             ASSERT_TRUE(links && values);
             for (const uint32_t page : f.dataPagesOf(*links)) {
                 for (int at = 0; at + 4 <= f.pageSize(); ++at) {
                     if (f.u32(page, at) == *values)
                         f.setU32(page, at, 0x00FFFF00);
                 }
             }
         },
         "Tags", "the hidden table of its values is missing"},
        {"links damaged", loop("FlatTableID"), "Tags", "MSysComplexColumns, which links it to its values, is missing or damaged", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = damaged(AceDatabase(std::nullopt, Encryption::Agile), c.damage);
        Connection connection;
        connection.setConnectionString(kAce);
        ASSERT_TRUE(connection.open(path, "Admin", "").ok());
        Recordset rs;
        const Status loaded = rs.open("Things", &connection);
        ASSERT_TRUE(loaded.ok()) << loaded.error().description.toStdString();
        ASSERT_EQ(*rs.recordCount(), 200);
        const int damagedColumn = c.column == "Files" ? 1 : 2;
        const int otherColumn = damagedColumn == 1 ? 2 : 1;
        for (int64_t row = 0; row < 200; row += 50) {
            EXPECT_EQ(rs.cellText(row, 0), QStringLiteral("thing %1").arg(row));
            EXPECT_EQ(rs.cellText(row, damagedColumn), "");
            EXPECT_EQ(rs.cellText(row, otherColumn).isEmpty(), c.bothEmpty);
            EXPECT_EQ(rs.cellText(row, 3).size(), 3000);
        }
        QStringList expected;
        for (const QString& column : c.bothEmpty ? QStringList{"Files", "Tags"} : QStringList{c.column})
            expected << QStringLiteral("table 'Things': column '%1': %2; its values are left empty").arg(column, c.why);
        QStringList warnings;
        for (const ReadWarning& warning : rs.warnings())
            warnings << warning.text();
        EXPECT_EQ(warnings.join('\n').toStdString(), expected.join('\n').toStdString());
        // The log is the window's to write: the data layer writes none.
        EXPECT_TRUE(logLines().isEmpty());
    }
}

// A calculated result whose length runs past its row is left empty and named; the rest reads whole.
TEST_F(DamagedAceFile, DamagedCalculatedResultIsEmptyAndNamed)
{
    jetwriter::Column total{"Total", ColumnType::Text, 40};
    total.expression = "[Name] & \"!\"";
    jetwriter::Table table{"Sums", {{"Name", ColumnType::Text}, total}, {}, {}};
    for (const char* name : {"first", "second", "third"})
        table.rows.push_back({std::string(name), std::string(name) + "!"});
    const jetwriter::Database database{Format::Ace2010, std::nullopt, Encryption::Agile, 45000.0, {table}};
    const QString path = damaged(database, [](JetFile& f) {
        const qsizetype at = f.bytes().indexOf(QByteArray("\xFF\xFEsecond!"));
        ASSERT_GT(at, 4);
        f.bytes().replace(at - 4, 4, QByteArray("\x7F\x7F\x7F\x7F"));
    });
    Connection connection;
    connection.setConnectionString(kAce);
    ASSERT_TRUE(connection.open(path, "Admin", "").ok());
    Recordset rs;
    ASSERT_TRUE(rs.open("Sums", &connection).ok());
    ASSERT_EQ(*rs.recordCount(), 3);
    EXPECT_EQ(rs.cellText(0, 1), "first!");
    EXPECT_TRUE(rs.isNull(1, 1));
    EXPECT_EQ(rs.cellText(2, 1), "third!");
    ASSERT_EQ(rs.warnings().size(), 1u);
    EXPECT_EQ(rs.warnings()[0].text().toStdString(), "table 'Sums': column 'Total': 1 value is damaged in the file and left empty");
}

}  // namespace
}  // namespace varnex::test
