// Damaged database files through the program's own path: the connection, its table
// list and a table's rows, each read by the reader process. Every damage ends in
// rows or in one of the data layer's error messages, soon, and never takes the
// program down.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"  // gcc 12 false alarm on std::variant in lists

#include "JetFile.h"

#include "data/Connection.h"
#include "store/FieldTypes.h"
#include "data/Recordset.h"
#include "jetwriter/JetWriter.h"
#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>
#include <vector>

namespace varnex::test {
namespace {

using jetwriter::ColumnType;
using jetwriter::Format;

constexpr int kRows = 300;

jetwriter::Database SampleDatabase(Format format)
{
    jetwriter::Table table{"Sample", {{"Marker", ColumnType::Long}, {"Name", ColumnType::Text, 40}, {"Notes", ColumnType::Memo}}, {}, {}};
    for (int64_t i = 0; i < kRows; ++i) {
        std::string notes;
        if (i % 50 == 0) {
            // Long enough to be stored in a chain of long-value rows.
            for (int k = 0; k < 9000; ++k)
                notes += static_cast<char>('a' + (k + i) % 26);
        }
        table.rows.push_back({i, "name " + std::to_string(i), notes.empty() ? jetwriter::Cell{jetwriter::Null{}} : notes});
    }
    jetwriter::Table other{"Other", {{"Only", ColumnType::Integer}}, {{int64_t{1}}, {int64_t{2}}}, {}};
    return {format, {}, jetwriter::Encryption::Agile, 36500.0, {table, other}};
}

enum class Expect { TableListFails, TableFails, TableLoads, AnyEnd };

struct Damage {
    const char* name;
    Expect expect;
    std::function<void(JetFile&)> apply;
    // TableLoads: the rows read, and the warnings they come with (given the sound file).
    int rows = kRows;
    std::function<QStringList(const JetFile&)> warnings = [](const JetFile&) { return QStringList(); };
};

uint32_t SampleDefinition(const JetFile& jet)
{
    const auto page = jet.definitionPageWithColumn(QStringLiteral("Marker"));
    EXPECT_TRUE(page.has_value());
    return page.value_or(0);
}

const std::vector<Damage>& Damages()
{
    static const std::vector<Damage> damages = {
        {"catalogue usage map row emptied", Expect::TableListFails,
         [](JetFile& jet) {
             const uint32_t pointer = jet.u32(2, jet.usageMapOffset());
             jet.emptyRow(pointer >> 8, static_cast<int>(pointer & 0xFF));
         }},
        {"catalogue definition continues on itself", Expect::TableListFails,
         [](JetFile& jet) { jet.setU32(2, jet.nextDefinitionOffset(), 2); }},
        {"catalogue usage map beyond the end of the file", Expect::TableListFails,
         [](JetFile& jet) { jet.setU32(2, jet.usageMapOffset(), (jet.pageCount() + 7) << 8); }},
        {"file cut after the catalogue's definition", Expect::TableListFails,
         [](JetFile& jet) { jet.truncatePages(3); }},
        {"table definition continues on itself", Expect::TableFails,
         [](JetFile& jet) {
             const uint32_t page = SampleDefinition(jet);
             jet.setU32(page, jet.nextDefinitionOffset(), page);
         }},
        {"table usage map row emptied", Expect::TableFails,
         [](JetFile& jet) {
             const uint32_t pointer = jet.u32(SampleDefinition(jet), jet.usageMapOffset());
             jet.emptyRow(pointer >> 8, static_cast<int>(pointer & 0xFF));
         }},
        {"table usage map beyond the end of the file", Expect::TableFails,
         [](JetFile& jet) { jet.setU32(SampleDefinition(jet), jet.usageMapOffset(), (jet.pageCount() + 7) << 8); }},
        {"table declares thousands of columns", Expect::TableFails,
         [](JetFile& jet) { jet.setU16(SampleDefinition(jet), jet.columnCountOffset(), 5000); }},
        {"every long-value row continues on itself", Expect::TableLoads,
         [](JetFile& jet) {
             for (const uint32_t page : jet.longValuePages()) {
                 for (int row = 0; row < jet.rowCount(page); ++row) {
                     const int start = jet.u16(page, jet.rowOffsetAt(row)) & 0x1FFF;
                     jet.setU32(page, start, (page << 8) | static_cast<uint32_t>(row));
                 }
             }
         },
         kRows, [](const JetFile&) { return QStringList{"table 'Sample': column 'Notes': 6 long values are cut short: their pages are damaged"}; }},
        // The first row's memo (a chain of long-value rows) kept in 8 bytes of the row, too few to say
        // where it lies: the end of the row's variable-length data is moved up to it. The row ends
        // at the page's end in its Null mask (a byte), the count of its variable-length columns,
        // and their starts, the end of them last: two bytes each in Jet 4, one in Jet 3.
        {"a memo's place in its row cut to 8 bytes", Expect::TableLoads,
         [](JetFile& jet) {
             const uint32_t page = jet.dataPagesOf(SampleDefinition(jet)).front();
             const int start = jet.u16(page, jet.rowOffsetAt(0)) & 0x1FFF;
             ASSERT_EQ(jet.u32(page, start + (jet.jet3() ? 1 : 2)), 0u);  // Marker 0
             const int last = jet.pageSize() - 1;
             if (jet.jet3())
                 jet.setU8(page, last - 4, static_cast<uint8_t>(jet.u8(page, last - 3) + 8));
             else
                 jet.setU16(page, last - 8, static_cast<uint16_t>(jet.u16(page, last - 6) + 8));
         },
         kRows, [](const JetFile&) { return QStringList{"table 'Sample': column 'Notes': 1 value is damaged in the file and left empty"}; }},
        {"a row of a data page emptied", Expect::TableLoads,
         [](JetFile& jet) { jet.emptyRow(jet.dataPagesOf(SampleDefinition(jet)).front(), 1); },
         kRows - 1,
         [](const JetFile& jet) {
             return QStringList{QStringLiteral("table 'Sample': 1 damaged row left out (data page %1)")
                                    .arg(jet.dataPagesOf(SampleDefinition(jet)).front())};
         }},
        // The second row made a pointer to a row moved elsewhere: to a row past the last one of
        // the table's last page, where the page's free space gives it start 0 and length 0.
        {"a row moved to an empty row at the page's start", Expect::TableLoads,
         [](JetFile& jet) {
             const std::vector<uint32_t> pages = jet.dataPagesOf(SampleDefinition(jet));
             const int target = jet.rowCount(pages.back()) + 1;
             ASSERT_EQ(jet.u32(pages.back(), jet.rowOffsetAt(target - 1)), 0u);
             const int slot = jet.rowOffsetAt(1);
             const uint16_t start = jet.u16(pages.front(), slot);
             jet.setU16(pages.front(), slot, static_cast<uint16_t>(start | 0x4000));
             jet.setU32(pages.front(), start & 0x1FFF, (pages.back() << 8) | static_cast<uint32_t>(target));
         },
         kRows - 1,
         [](const JetFile& jet) {
             return QStringList{QStringLiteral("table 'Sample': 1 damaged row left out (data page %1)")
                                    .arg(jet.dataPagesOf(SampleDefinition(jet)).front())};
         }},
        {"row offsets of the data pages point past the page", Expect::AnyEnd,
         [](JetFile& jet) {
             for (const uint32_t page : jet.dataPagesOf(SampleDefinition(jet))) {
                 for (int row = 0; row < jet.rowCount(page); ++row)
                     jet.setU16(page, jet.rowOffsetAt(row), 0x1FFF);
             }
         }},
        {"data pages claim a thousand rows each", Expect::AnyEnd,
         [](JetFile& jet) {
             for (const uint32_t page : jet.dataPagesOf(SampleDefinition(jet)))
                 jet.setU16(page, jet.jet3() ? 8 : 12, 1000);
         }},
    };
    return damages;
}

// How one read of a damaged file may end: rows, or a message of the data layer.
bool IsDocumentedFailure(const Error& error, const QString& path)
{
    const QString& text = error.description;
    return text == QStringLiteral("Unrecognized database format '%1'.").arg(path)
           || (text.startsWith(QStringLiteral("The definition of the table ")) && text.endsWith(QStringLiteral(" is damaged.")))
           || (text.startsWith(QStringLiteral("Reading table ")) && text.contains(QStringLiteral("may be damaged")))
           || (text.startsWith(QStringLiteral("The reader ")) && text.contains(QStringLiteral("may be damaged")))
           || text == QStringLiteral("Out of memory")
           || text.contains(QStringLiteral("cannot find the input table or query"));
}

class DamagedFile : public ::testing::TestWithParam<Format> {
protected:
    QString writeDamaged(const Damage& damage)
    {
        const QString sound = dir_.file(QStringLiteral("sound.mdb"));
        jetwriter::writeDatabase(SampleDatabase(GetParam()), sound.toStdString());
        auto jet = JetFile::load(sound);
        EXPECT_TRUE(jet.has_value());
        warnings_ = damage.warnings(*jet);
        definition_ = SampleDefinition(*jet);
        damage.apply(*jet);
        const QString path = dir_.file(QStringLiteral("damaged-%1.mdb").arg(++count_));
        EXPECT_TRUE(jet->save(path));
        return path;
    }

    Status open(Connection& connection, const QString& path)
    {
        connection.setConnectionString(GetParam() == Format::Jet3 ? QStringLiteral("Provider=Microsoft.Jet.OLEDB.3.51")
                                                                  : QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0"));
        return connection.open(path, QStringLiteral("Admin"), QString());
    }

    TempDir dir_;
    int count_ = 0;
    QStringList warnings_;      // what the damage written last should bring
    uint32_t definition_ = 0;   // of the table Sample
};

TEST_P(DamagedFile, EndsInRowsOrAMessage)
{
    for (const Damage& damage : Damages()) {
        SCOPED_TRACE(damage.name);
        const QString path = writeDamaged(damage);
        Connection connection;
        const Status opened = open(connection, path);
        if (!opened.ok()) {
            EXPECT_TRUE(IsDocumentedFailure(opened.error(), path)) << opened.error().description.toStdString();
            EXPECT_EQ(damage.expect, Expect::TableListFails);
            continue;
        }
        const auto schema = connection.openTableSchema();
        if (damage.expect == Expect::TableListFails) {
            ASSERT_FALSE(schema.ok());
            EXPECT_EQ(schema.error().description, QStringLiteral("Unrecognized database format '%1'.").arg(path));
            continue;
        }
        ASSERT_TRUE(schema.ok()) << schema.error().description.toStdString();

        Recordset rs;
        const Status loaded = rs.open(QStringLiteral("Sample"), &connection);
        switch (damage.expect) {
        case Expect::TableFails:
            ASSERT_FALSE(loaded.ok());
            EXPECT_EQ(loaded.error().description,
                      QStringLiteral("The definition of the table 'Sample' (page %1) in '%2' is damaged.").arg(definition_).arg(path));
            break;
        case Expect::TableLoads: {
            ASSERT_TRUE(loaded.ok()) << loaded.error().description.toStdString();
            EXPECT_EQ(*rs.recordCount(), damage.rows);
            QStringList warnings;
            for (const ReadWarning& warning : rs.warnings())
                warnings << warning.text();
            EXPECT_EQ(warnings, warnings_);
            break;
        }
        default:
            if (loaded.ok()) {
                EXPECT_LE(*rs.recordCount(), int64_t{1000} * 64);
            } else {
                EXPECT_TRUE(IsDocumentedFailure(loaded.error(), path)) << loaded.error().description.toStdString();
            }
        }
        // The undamaged table beside it still loads.
        Recordset other;
        if (damage.expect != Expect::AnyEnd) {
            EXPECT_TRUE(other.open(QStringLiteral("Other"), &connection).ok());
        }
    }
}

// Bytes changed at random all over a sound file: whatever the reader makes of them,
// each read ends with rows or a documented message, within the time bound.
TEST_P(DamagedFile, RandomlyChangedBytesNeverTakeTheProgramDown)
{
    const QString sound = dir_.file(QStringLiteral("sound.mdb"));
    jetwriter::writeDatabase(SampleDatabase(GetParam()), sound.toStdString());
    const auto original = JetFile::load(sound);
    ASSERT_TRUE(original.has_value());
    std::mt19937 random(GetParam() == Format::Jet3 ? 3 : 4);
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE(round);
        JetFile jet = *original;
        // Past the header page, which the connection checks itself.
        std::uniform_int_distribution<qsizetype> where(jet.pageSize(), jet.bytes().size() - 1);
        for (int change = 0; change < 1 + round * 4; ++change)
            jet.bytes()[where(random)] = static_cast<char>(random());
        const QString path = dir_.file(QStringLiteral("random-%1.mdb").arg(round));
        ASSERT_TRUE(jet.save(path));

        Connection connection;
        ASSERT_TRUE(open(connection, path).ok());
        const auto schema = connection.openTableSchema();
        if (!schema.ok()) {
            EXPECT_TRUE(IsDocumentedFailure(schema.error(), path)) << schema.error().description.toStdString();
            continue;
        }
        for (const char* table : {"Sample", "Other"}) {
            Recordset rs;
            const Status loaded = rs.open(QString::fromLatin1(table), &connection);
            if (!loaded.ok()) {
                EXPECT_TRUE(IsDocumentedFailure(loaded.error(), path)) << loaded.error().description.toStdString();
            }
        }
    }
}

// A long table, read in many stretches on two threads, with one row emptied on pages all along
// it: every other row comes in order, and the warning names the pages in the walk's order.
TEST_P(DamagedFile, DamagedRowsAlongALongTableAreNamedInTheWalksOrder)
{
    constexpr int64_t kLongRows = 30000;
    constexpr size_t kDamagedPages = 13;
    jetwriter::Table table{"Long", {{"Marker", ColumnType::Long}, {"Name", ColumnType::Text, 40}}, {}, {}};
    for (int64_t i = 0; i < kLongRows; ++i)
        table.rows.push_back({i, "name " + std::to_string(i)});
    const QString sound = dir_.file(QStringLiteral("long.mdb"));
    jetwriter::writeDatabase({GetParam(), {}, jetwriter::Encryption::Agile, 36500.0, {table}}, sound.toStdString());
    auto jet = JetFile::load(sound);
    ASSERT_TRUE(jet.has_value());
    const auto definition = jet->definitionPageWithColumn(QStringLiteral("Marker"));
    ASSERT_TRUE(definition.has_value());
    const std::vector<uint32_t> pages = jet->dataPagesOf(*definition);
    ASSERT_GT(pages.size(), kDamagedPages * 8);

    std::set<int64_t> lost;
    QStringList named;
    for (size_t k = 0; k < kDamagedPages; ++k) {
        const uint32_t page = pages[(k * 7 + 3) * pages.size() / (kDamagedPages * 7 + 3)];
        const int start = jet->u16(page, jet->rowOffsetAt(1)) & 0x1FFF;
        lost.insert(jet->u32(page, start + (jet->jet3() ? 1 : 2)));  // the row's Marker
        jet->emptyRow(page, 1);
        if (k < 10)
            named << QString::number(page);
    }
    named << QStringLiteral("and 3 more");
    const QString path = dir_.file(QStringLiteral("long-damaged.mdb"));
    ASSERT_TRUE(jet->save(path));

    Connection connection;
    ASSERT_TRUE(open(connection, path).ok());
    ASSERT_TRUE(connection.openTableSchema().ok());
    Recordset rs;
    const Status loaded = rs.open(QStringLiteral("Long"), &connection);
    ASSERT_TRUE(loaded.ok()) << loaded.error().description.toStdString();
    std::vector<int64_t> expected;
    for (int64_t i = 0; i < kLongRows; ++i) {
        if (!lost.contains(i))
            expected.push_back(i);
    }
    std::vector<int64_t> markers;
    for (int64_t r = 0; r < *rs.recordCount(); ++r)
        markers.push_back(rs.cellText(r, 0).toLongLong());
    EXPECT_EQ(markers, expected);
    QStringList warnings;
    for (const ReadWarning& warning : rs.warnings())
        warnings << warning.text();
    EXPECT_EQ(warnings, QStringList{QStringLiteral("table 'Long': 13 damaged rows left out (data pages %1)").arg(named.join(QStringLiteral(", ")))});
}

INSTANTIATE_TEST_SUITE_P(BothFormats, DamagedFile, ::testing::Values(Format::Jet3, Format::Jet4),
                         [](const ::testing::TestParamInfo<Format>& info) {
                             return info.param == Format::Jet3 ? std::string("Jet3") : std::string("Jet4");
                         });

}  // namespace
}  // namespace varnex::test
