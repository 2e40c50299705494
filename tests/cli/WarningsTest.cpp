// What a command could not read exactly: one warning line each on standard error and exit status 0, the
// values empty in the CSV; --strict makes each a failure that writes nothing. Damage that fails a table
// names what failed. The command line keeps no log file.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"  // gcc 12 false alarm on std::variant in lists

#include "DamagedFiles.h"
#include "TestDatabases.h"
#include "VarnexProcess.h"
#include "support/TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace varnex::test {
namespace {

using jetwriter::ColumnType;

// Columns of type codes no Access version defines: one fixed of 12 bytes, one of any length.
jetwriter::Table PartsTable()
{
    jetwriter::Column shape{"Shape", ColumnType::Unknown, 12};
    shape.typeCode = 0x46;
    jetwriter::Column blob{"Blob", ColumnType::Unknown};
    blob.typeCode = 0x47;
    return Table("Parts", {Column("Name", ColumnType::Text), shape, blob},
                 {{T("one"), jetwriter::Bytes{std::vector<uint8_t>(12, 7)}, jetwriter::Bytes{{1, 2, 3, 4, 5}}},
                  {T("two"), N(), N()}});
}

// A calculated column, whose result type only its properties in the catalogue record.
jetwriter::Table SumsTable()
{
    jetwriter::Column total = Column("Total", ColumnType::Text);
    total.expression = "[Name] & \"!\"";
    return Table("Sums", {Column("Name", ColumnType::Text), total}, {{T("one"), T("one!")}});
}

// The first chunk of the catalogue's property list given the length in place of its own: zero is the length
// libmdb's own parser loops on for ever; one past the end makes it read beyond the list.
void damagePropertyList(const QString& path, uint32_t length)
{
    QByteArray contents = readFile(path);
    const qsizetype at = contents.indexOf(QByteArray("MR2\0", 4));
    ASSERT_GE(at, 0);
    if (length == UINT32_MAX)
        length = static_cast<uint32_t>(contents.size());
    contents.replace(at + 4, 4, QByteArray(reinterpret_cast<const char*>(&length), 4));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

// The catalogue's property list made to give its first object with two properties the first of them twice.
void repeatPropertyName(const QString& path)
{
    QByteArray contents = readFile(path);
    const qsizetype list = contents.indexOf(QByteArray("MR2\0", 4));
    ASSERT_GE(list, 0);
    const auto u16 = [&](qsizetype at) { return static_cast<uint16_t>(static_cast<uint8_t>(contents[at]) | static_cast<uint8_t>(contents[at + 1]) << 8); };
    const auto u32 = [&](qsizetype at) { return uint32_t{u16(at)} | uint32_t{u16(at + 2)} << 16; };
    for (qsizetype chunk = list + 4; chunk < contents.size(); chunk += u32(chunk)) {
        ASSERT_GE(u32(chunk), 6u);
        const qsizetype end = chunk + u32(chunk);
        const qsizetype first = chunk + 6 + 6 + u16(chunk + 6 + 4);  // past the chunk's head and the object's
        if (u16(chunk + 4) > 2 || first >= end || first + u16(first) >= end)
            continue;
        const qsizetype second = first + u16(first);
        contents[second + 4] = contents[first + 4];
        contents[second + 5] = contents[first + 5];
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return;
    }
    FAIL() << "no object with two properties";
}

TEST(Warnings, ReachStandardErrorAndStrictMakesThemFailures)
{
    TempDir work;
    WriteDatabase(work.file("parts.accdb"), {NameTable("Good", {"a"}), PartsTable()}, jetwriter::Format::Ace2010);
    WriteDatabase(work.file("nameless.mdb"), {NameTable("Orders", {"a"}), NameTable("Vanished", {"b"})});
    zeroBytes(work.file("nameless.mdb"), "Vanished");  // its catalogue entry keeps no name
    WriteDatabase(work.file("broken.mdb"),
                  {NameTable("Alpha", {"a"}), Table("Beta", {Column("BetaOnly", ColumnType::Long)}, {{I(1)}})});
    const uint32_t betaPage = loopDefinition(work.file("broken.mdb"), "BetaOnly");
    for (const auto& [name, length] : {std::pair{"props-zero.accdb", uint32_t{0}}, std::pair{"props-long.accdb", UINT32_MAX}}) {
        WriteDatabase(work.file(name), {SumsTable()}, jetwriter::Format::Ace2010);
        damagePropertyList(work.file(name), length);
    }
    WriteDatabase(work.file("props-twice.accdb"), {SumsTable()}, jetwriter::Format::Ace2010);
    repeatPropertyName(work.file("props-twice.accdb"));

    const QByteArray shape = "parts.accdb: table 'Parts': column 'Shape': its type 0x46 is not supported; its values are left empty\n";
    const QByteArray blob = "parts.accdb: table 'Parts': column 'Blob': its type 0x47 is not supported; its values are left empty\n";
    const QByteArray nameless = "nameless.mdb: 1 entry of the table list without a valid name left out; its catalogue is damaged\n";
    const QByteArray properties = "the properties of 1 entry of the table list are damaged and left out\n";
    const QByteArray resultType = "table 'Sums': column 'Total': a calculated column whose result type is not recorded; left empty\n";
    struct Case {
        const char* name;
        QStringList arguments;
        int status;
        QByteArray err;
        QByteArray out;
        QString file = {};           // written, or (no contents) not written
        QByteArray contents = {};
    };
    const QByteArray partsCsv = "\"Name\",\"Shape\",\"Blob\"\r\n\"one\",,\r\n\"two\",,\r\n";
    const std::vector<Case> cases = {
        {"unknown types", {"export", "parts.accdb", "Parts"}, 0, "varnex: warning: " + shape + "varnex: warning: " + blob, partsCsv},
        {"unknown types, to a file", {"export", "parts.accdb", "Parts", "-o", "parts.csv"}, 0,
         "varnex: warning: " + shape + "varnex: warning: " + blob, "", "parts.csv", partsCsv},
        {"unknown types, strict", {"export", "parts.accdb", "Parts", "--strict"}, 1, "varnex: " + shape + "varnex: " + blob, ""},
        {"unknown types, strict, to a file", {"export", "--strict", "parts.accdb", "Parts", "-o", "strict.csv"}, 1,
         "varnex: " + shape + "varnex: " + blob, "", "strict.csv"},
        {"sound table, strict", {"export", "parts.accdb", "Good", "--strict"}, 0, "", "\"Name\"\r\n\"a\"\r\n"},
        {"every table, strict", {"export-all", "parts.accdb", "all", "--strict"}, 1, "varnex: " + shape + "varnex: " + blob,
         "Good -> all/Good.csv (1 row)\n", "all/Parts.csv"},
        {"nameless entry", {"tables", "nameless.mdb"}, 0, "varnex: warning: " + nameless, "Orders\n"},
        {"nameless entry, strict", {"tables", "nameless.mdb", "--strict"}, 1, "varnex: " + nameless, ""},
        {"property list of length zero", {"tables", "props-zero.accdb"}, 0, "varnex: warning: props-zero.accdb: " + properties, "Sums\n"},
        {"property list running past its end", {"tables", "props-long.accdb"}, 0, "varnex: warning: props-long.accdb: " + properties,
         "Sums\n"},
        {"property list naming a property twice", {"tables", "props-twice.accdb"}, 0,
         "varnex: warning: props-twice.accdb: " + properties, "Sums\n"},
        {"calculated column without its properties", {"export", "props-zero.accdb", "Sums"}, 0,
         "varnex: warning: props-zero.accdb: " + resultType, "\"Name\",\"Total\"\r\n\"one\",\r\n"},
        {"damaged definition after a sound table", {"export-all", "broken.mdb", "broken"}, 1,
         QStringLiteral("varnex: broken.mdb: table 'Beta': The definition of the table 'Beta' (page %1) in 'broken.mdb' is "
                        "damaged.\n").arg(betaPage).toUtf8(),
         "Alpha -> broken/Alpha.csv (1 row)\n", "broken/Beta.csv"},
    };
    // The program copied into a folder of its own, where a log file would show.
    const QDir bin(work.file("bin"));
    ASSERT_TRUE(QDir().mkpath(bin.path()));
    const QFileInfo installed(varnexPath());
    for (const QString& program : {QStringLiteral("varnex"), QStringLiteral("varnex-reader")})
        ASSERT_TRUE(QFile::copy(installed.dir().filePath(program), bin.filePath(program)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString line = QStringLiteral("bin/varnex");
        for (const QString& argument : c.arguments)
            line += QStringLiteral(" '%1'").arg(argument);
        const VarnexRun run = runShell(line, work.path());
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err.toStdString(), c.err.toStdString());
        EXPECT_EQ(run.out.toStdString(), c.out.toStdString());
        if (!c.file.isEmpty()) {
            EXPECT_EQ(readFile(work.file(c.file)).toStdString(), (c.contents.isEmpty() ? QByteArray("(none)") : c.contents).toStdString());
        }
    }
    EXPECT_EQ(QDir(work.file("all")).entryList(QDir::Files), QStringList({"Good.csv"}));
    QDirIterator files(work.path(), {"*.log"}, QDir::Files, QDirIterator::Subdirectories);
    EXPECT_FALSE(files.hasNext()) << files.next().toStdString();
    EXPECT_EQ(bin.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"varnex", "varnex-reader"}));
}

}  // namespace
}  // namespace varnex::test
