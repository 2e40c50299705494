// varnex export-all: one file a user table, named safely and uniquely, one summary line a table.

#include "TestDatabases.h"
#include "VarnexProcess.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace varnex::test {
namespace {

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Replaces the text in the file wherever it is stored, in one or two bytes a character.
void renameEverywhere(const QString& path, const QByteArray& from, const QByteArray& to)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const auto wide = [](const QByteArray& text) {
        QByteArray units;
        for (const char c : text)
            units.append(c).append('\0');
        return units;
    };
    const QByteArray before = bytes;
    bytes.replace(from, to).replace(wide(from), wide(to));
    ASSERT_NE(bytes, before);
    file.seek(0);
    file.write(bytes);
}

TEST(ExportAll, WritesEveryUserTableUnderASafeUniqueName)
{
    TempDir work;
    // The writer stores these names, though Access itself would refuse some; each table holds its name.
    const std::vector<std::string> tables = {"Orders", "a/b", ".hidden", "..", "ORDERZ", "a_b", "Zoë", "q?<x>",
                                             "MSysLocal", "tab\there"};
    std::vector<jetwriter::Table> written;
    for (const std::string& table : tables)
        written.push_back(NameTable(table, {table}));
    WriteDatabase(work.file("db.mdb"), written);
    // Names that differ only in letter case, as only a damaged or foreign file has them.
    renameEverywhere(work.file("db.mdb"), "ORDERZ", "ORDERS");

    const VarnexRun run = runVarnex({"export-all", "db.mdb", "out/csv"}, work.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");

    // The table list's order: by name, letter case aside; "Orders" before "ORDERS" as written.
    struct Expected {
        std::string table;
        QString file;
    };
    const std::vector<Expected> expected = {
        {"..", "__.csv"},         {".hidden", "_hidden.csv"}, {"a/b", "a_b.csv"},        {"a_b", "a_b~2.csv"},
        {"Orders", "Orders.csv"}, {"ORDERS", "ORDERS~2.csv"},  {"q?<x>", "q__x_.csv"},   {"tab\there", "tab_here.csv"},
        {"Zoë", "Zoë.csv"},
    };
    QByteArray summary;
    QStringList files;
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.table);
        const QString table = QString::fromStdString(e.table);
        summary += (table + " -> out/csv/" + e.file + " (1 row)\n").toUtf8();
        files << e.file;
        EXPECT_EQ(contentsOf(work.file("out/csv/" + e.file)), ("\"Name\"\r\n\"" + table + "\"\r\n").toUtf8());
    }
    EXPECT_EQ(run.out.toStdString(), summary.toStdString());
    files.sort();
    EXPECT_EQ(QDir(work.file("out/csv")).entryList(QDir::Files | QDir::Hidden, QDir::Name), files);
}

TEST(ExportAll, TakesTheExportsOptionsAndCountsRows)
{
    TempDir work;
    WriteDatabase(work.file("db.mdb"), {NameTable("Empty", {}), NameTable("Two", {"Zoë", "b"})});
    const VarnexRun run =
        runVarnex({"export-all", "--no-header", "--bom", "db.mdb", work.file("out")}, work.path(), {"LC_ALL=C"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, (QStringLiteral("Empty -> %1/Empty.csv (0 rows)\nTwo -> %1/Two.csv (2 rows)\n")
                            .arg(work.file("out")))
                           .toUtf8());
    EXPECT_EQ(contentsOf(work.file("out/Empty.csv")), "\xEF\xBB\xBF");
    EXPECT_EQ(contentsOf(work.file("out/Two.csv")), "\xEF\xBB\xBF\"Zoë\"\r\n\"b\"\r\n");
}

}  // namespace
}  // namespace varnex::test
