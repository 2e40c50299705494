// Every way a command can fail: its exit status, its one line on standard error, and no
// partial or damaged file left behind.

#include "TestDatabases.h"
#include "VarnexProcess.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace varnex::test {
namespace {

const QByteArray kOldContents = "old file\r\n";

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The first pages of a database only: the header is sound, the rest is gone.
void writeTruncatedDatabase(const QString& path)
{
    WriteDatabase(path, {NameTable("Orders", {"a"})});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(2 * 4096));
}

TEST(Failures, EndWithTheirStatusAndOneLineNamingFileTableAndCause)
{
    TempDir work;
    WriteDatabase(work.file("db.mdb"), {NameTable("Orders", {"a", "b"}), ManyRows("Many", 20000)});
    WriteDatabase(work.file("locked.mdb"), {NameTable("Orders", {"a"})}, jetwriter::Format::Jet4, "secret");
    writeFile(work.file("junk.mdb"), QByteArray(8192, 'x'));
    writeTruncatedDatabase(work.file("cut.mdb"));
    QDir(work.path()).mkpath("folder");
    writeFile(work.file("old.csv"), kOldContents);
    writeFile(work.file("plain-file"), kOldContents);

    struct Case {
        const char* name;
        QStringList arguments;
        int status;
        QByteArray err;
        QByteArray out = {};
        std::function<VarnexRun(const QStringList&)> run = {};
    };
    const QByteArray tableNotFound = "The Microsoft Jet database engine cannot find the input table or query 'Nope'.  "
                                     "Make sure it exists and that its name is spelled correctly.\n";
    const std::vector<Case> cases = {
        {"missing file", {"tables", "missing.mdb"}, 1, "varnex: missing.mdb: Could not find file 'missing.mdb'.\n"},
        {"missing file, export", {"export", "missing.mdb", "Orders"}, 1,
         "varnex: missing.mdb: Could not find file 'missing.mdb'.\n"},
        {"not a database", {"export", "junk.mdb", "Orders", "-o", "old.csv"}, 1,
         "varnex: junk.mdb: Unrecognized database format 'junk.mdb'.\n"},
        {"damaged file, table list", {"tables", "cut.mdb"}, 1,
         "varnex: cut.mdb: Unrecognized database format 'cut.mdb'.\n"},
        {"damaged file, table", {"export", "cut.mdb", "Orders", "-o", "old.csv"}, 1,
         "varnex: cut.mdb: table 'Orders': Unrecognized database format 'cut.mdb'.\n"},
        {"missing table", {"export", "db.mdb", "Nope", "-o", "old.csv"}, 1,
         "varnex: db.mdb: table 'Nope': " + tableNotFound},
        {"missing column to sort by", {"export", "db.mdb", "Orders", "--sort", "Name, Nme DESC"}, 1,
         "varnex: db.mdb: table 'Orders': --sort \"Name, Nme DESC\": the table has no column 'Nme'\n"},
        {"password not given", {"tables", "locked.mdb"}, 1,
         "varnex: locked.mdb: Not a valid password. The database has a password; give it with --password-file FILE or "
         "VARNEX_PASSWORD.\n"},
        {"wrong password", {"export", "locked.mdb", "Orders", "--password", "guess"}, 1,
         "varnex: locked.mdb: Not a valid password.\n"},
        {"unknown account", {"tables", "locked.mdb", "--user", "Bob", "--password", "secret"}, 1,
         "varnex: locked.mdb: Not a valid account name or password.\n"},
        {"right password", {"export", "locked.mdb", "Orders", "--password", "secret", "--user", "admin"}, 0, "",
         "\"Name\"\r\n\"a\"\r\n"},
        {"output in a missing folder", {"export", "db.mdb", "Orders", "-o", "nowhere/out.csv"}, 1,
         "varnex: db.mdb: table 'Orders': Could not create 'nowhere/out.csv': No such file or directory\n"},
        {"output is the database", {"export", "db.mdb", "Orders", "-o", "./db.mdb"}, 1,
         "varnex: db.mdb: table 'Orders': Could not create './db.mdb': it is the database itself\n"},
        {"output is a folder", {"export", "db.mdb", "Orders", "-o", "folder"}, 1,
         "varnex: db.mdb: table 'Orders': Could not create 'folder': Is a directory\n"},
        {"folder for export-all is a file", {"export-all", "db.mdb", "plain-file/sub"}, 1,
         "varnex: db.mdb: Could not create the folder 'plain-file/sub': Not a directory\n"},
        {"a table's name is taken as given", {"export", "db.mdb", "[Orders]", "-o", "old.csv"}, 1,
         "varnex: db.mdb: table '[Orders]': The Microsoft Jet database engine cannot find the input table or query "
         "'[Orders]'.  Make sure it exists and that its name is spelled correctly.\n"},
        {"blanks around a table's name are part of it", {"export", "db.mdb", " Orders", "-o", "old.csv"}, 1,
         "varnex: db.mdb: table ' Orders': The Microsoft Jet database engine cannot find the input table or query "
         "' Orders'.  Make sure it exists and that its name is spelled correctly.\n"},
        {"disk full", {"export", "db.mdb", "Many", "-o", "old.csv"}, 1,
         "varnex: db.mdb: table 'Many': Could not write 'old.csv': File too large\n", {},
         [&](const QStringList& arguments) {
             const FileSizeLimit limit(64 * 1024);
             return runVarnex(arguments, work.path());
         }},
        {"closed pipe", {}, 141, "", "\"ID\",\"Line\"\r\n",
         [&](const QStringList&) {
             return runShell(R"("$VARNEX" export db.mdb Many | head -1; exit "${PIPESTATUS[0]}")", work.path());
         }},
        // Usage errors.
        {"mistyped command", {"tabels", "db.mdb"}, 2, "varnex: unknown command 'tabels' (see varnex --help)\n"},
        {"unknown first option", {"--bogus"}, 2, "varnex: unknown option '--bogus' (see varnex --help)\n"},
        {"empty first word", {""}, 2, "varnex: unknown command '' (see varnex --help)\n"},
        {"missing file for the window", {"db2.mdb"}, 2, "varnex: no file or command 'db2.mdb' (see varnex --help)\n"},
        {"a folder for the window", {"folder"}, 2,
         "varnex: 'folder' is a folder, not a database file or a command (see varnex --help)\n"},
        {"the window without a display", {"db.mdb"}, 2,
         "varnex: no display to show the window on; without one, list the tables with 'varnex tables db.mdb' and "
         "export one with 'varnex export db.mdb TABLE' (see varnex --help)\n"},
        {"the window without a display or a file", {}, 2,
         "varnex: no display to show the window on; without one, list the tables with 'varnex tables FILE' and "
         "export one with 'varnex export FILE TABLE' (see varnex --help)\n"},
        {"empty folder for export-all", {"export-all", "db.mdb", ""}, 2,
         "varnex: the folder name is empty (see varnex --help)\n"},
        {"empty database name", {"tables", ""}, 2, "varnex: the database file name is empty (see varnex --help)\n"},
        {"no sort specification", {"export", "db.mdb", "Orders", "--sort", "Name,,ID"}, 2,
         "varnex: --sort takes \"COLUMN [ASC|DESC], ...\", not 'Name,,ID' (see varnex --help)\n"},
        {"two passwords", {"tables", "db.mdb", "--password", "x", "--password-file", "plain-file"}, 2,
         "varnex: give --password or --password-file, not both (see varnex --help)\n"},
        {"unknown option", {"export", "db.mdb", "Orders", "--frob"}, 2,
         "varnex: export has no option '--frob' (see varnex --help)\n"},
        {"option of another command", {"tables", "db.mdb", "--sort", "Name"}, 2,
         "varnex: tables has no option '--sort' (see varnex --help)\n"},
        {"option without its value", {"export", "db.mdb", "Orders", "-o"}, 2,
         "varnex: '-o' needs a value (see varnex --help)\n"},
        {"empty output", {"export", "db.mdb", "Orders", "--output="}, 2,
         "varnex: --output needs a file name (see varnex --help)\n"},
        {"flag with a value", {"export", "db.mdb", "Orders", "--bom=yes"}, 2,
         "varnex: --bom takes no value (see varnex --help)\n"},
        {"unknown encoding", {"export", "db.mdb", "Orders", "--encoding", "latin1"}, 2,
         "varnex: --encoding takes utf-8 or locale, not 'latin1' (see varnex --help)\n"},
        {"table missing", {"export", "db.mdb"}, 2, "varnex: export needs FILE TABLE (see varnex --help)\n"},
        {"one operand too many", {"export-all", "db.mdb", "out", "extra"}, 2,
         "varnex: export-all takes FILE DIR; 'extra' is one too many (see varnex --help)\n"},
        {"a mark on ASCII", {"export", "db.mdb", "Orders", "--encoding", "locale", "--bom"}, 2,
         "varnex: --bom needs UTF-8 output; the locale's code set is ANSI_X3.4-1968 (see varnex --help)\n", {},
         [&](const QStringList& arguments) { return runVarnex(arguments, work.path(), {"LC_ALL=C"}); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const VarnexRun run = c.run ? c.run(c.arguments) : runVarnex(c.arguments, work.path());
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err.toStdString(), c.err.toStdString());
        EXPECT_EQ(run.out.toStdString(), c.out.toStdString());
        // Nothing written in place of the old file, nothing left beside it.
        QFile old(work.file("old.csv"));
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        EXPECT_EQ(old.readAll(), kOldContents);
        EXPECT_EQ(QDir(work.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
                  QStringList({"cut.mdb", "db.mdb", "folder", "junk.mdb", "locked.mdb", "old.csv", "plain-file"}));
        EXPECT_TRUE(QDir(work.file("folder")).isEmpty());
    }
}

}  // namespace
}  // namespace varnex::test
