// varnex tables, --help and --version, as a script sees them.

#include "support/ExportFixture.h"
#include "TestDatabases.h"
#include "VarnexProcess.h"

#include <QComboBox>

namespace varnex::test {
namespace {

using jetwriter::Format;

class TablesCommand : public ExportFixture {
protected:
    TempDir work_;
};

QStringList linesOf(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes).split('\n', Qt::SkipEmptyParts);
}

// The user tables, one a line, in the window's order and with the window's filter, for every
// format the provider is chosen for.
TEST_F(TablesCommand, ListsTheWindowsTablesInEveryFormat)
{
    const std::vector<std::string> names = {"Orders", "MSysLocal", "msysNotes", "Order Lines", "XMSYS", "Zoë", "MSY"};
    const QByteArray expected = "MSY\nOrder Lines\nOrders\nXMSYS\nZoë\n";
    struct Case {
        Format format;
        const char* file;
        const char* provider;
    };
    const Case cases[] = {
        {Format::Jet3, "jet3.mdb", "Provider=Microsoft.Jet.OLEDB.3.51"},
        {Format::Jet4, "jet4.mdb", "Provider=Microsoft.Jet.OLEDB.4.0"},
        {Format::Ace2007, "ace2007.accdb", "Provider=Microsoft.ACE.OLEDB.12.0"},
        {Format::Ace2010, "ace2010.accdb", "Provider=Microsoft.ACE.OLEDB.12.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::vector<jetwriter::Table> tables;
        for (const std::string& name : names)
            tables.push_back(NameTable(name, {name}));
        const QString database = WriteDatabase(work_.file(c.file), tables, c.format);

        const VarnexRun run = runVarnex({"tables", c.file}, work_.path());
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, expected);

        connectTo(database, c.provider);
        ASSERT_TRUE(form().fillTableList().ok());
        QStringList window;
        for (int i = 0; i < form().tableList->count(); ++i)
            window << form().tableList->itemText(i);
        EXPECT_EQ(linesOf(run.out), window);
    }
}

// --all adds the system tables with their types, in the order of the schema: by type, then name.
TEST_F(TablesCommand, AllListsSystemTablesWithTheirTypes)
{
    WriteDatabase(work_.file("db.mdb"), {NameTable("Orders", {"a"}), NameTable("MSysLocal", {"b"})});
    const VarnexRun run = runVarnex({"tables", "--all", "db.mdb"}, work_.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "MSysLocal\tACCESS TABLE\n"
                       "MSysACEs\tSYSTEM TABLE\n"
                       "MSysObjects\tSYSTEM TABLE\n"
                       "MSysQueries\tSYSTEM TABLE\n"
                       "MSysRelationships\tSYSTEM TABLE\n"
                       "Orders\tTABLE\n");
}

// Each name on a line of its own, whatever it holds, and each exported by the name as listed; with
// --null the names as they are. The writer stores names that Access itself would refuse.
TEST_F(TablesCommand, NamesWithControlCharactersTakeOneLineAndAreMatchedExactly)
{
    const std::vector<std::string> names = {"tab\there", "two\nlines", "back\\slash", "bell\x07", "esc\x1b", "nel\u0085x",
                                            " spaced ", "[bracketed]", "Zoë"};
    std::vector<jetwriter::Table> tables;
    for (const std::string& name : names)
        tables.push_back(NameTable(name, {name}));
    WriteDatabase(work_.file("db.mdb"), tables);

    const VarnexRun lines = runVarnex({"tables", "db.mdb"}, work_.path());
    EXPECT_EQ(lines.status, 0);
    EXPECT_EQ(lines.err, "");
    EXPECT_EQ(lines.out.toStdString(),
              " spaced \n[bracketed]\nback\\\\slash\nbell\\a\nesc\\x1b\nnel\\u0085x\ntab\\there\ntwo\\nlines\nZoë\n");

    const VarnexRun nul = runVarnex({"tables", "db.mdb", "--null"}, work_.path());
    EXPECT_EQ(nul.status, 0);
    QStringList listed = QString::fromUtf8(nul.out).split(QChar(0));
    EXPECT_EQ(listed.takeLast(), "");
    QStringList expected;
    for (const std::string& name : names)
        expected << QString::fromStdString(name);
    expected.sort(Qt::CaseInsensitive);
    EXPECT_EQ(listed, expected);

    for (const QString& name : listed) {
        SCOPED_TRACE(name.toStdString());
        const VarnexRun run = runVarnex({"export", "db.mdb", name, "--no-header"}, work_.path());
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        QString field = name;
        EXPECT_EQ(run.out, ("\"" + field.replace("\"", "\"\"") + "\"\r\n").toUtf8());
    }
    const VarnexRun withType = runVarnex({"tables", "db.mdb", "--null", "--all"}, work_.path());
    EXPECT_TRUE(withType.out.endsWith(QByteArray("Zoë\tTABLE\0", 11))) << withType.out.toStdString();
}

TEST_F(TablesCommand, HelpAndVersionGoToStandardOutput)
{
    struct Case {
        QStringList arguments;
        QByteArray start;
    };
    const Case cases[] = {
        {{"--version"}, "varnex " VARNEX_VERSION "\n"},
        {{"--help"}, "Usage: varnex tables FILE"},
        {{"-h"}, "Usage: varnex tables FILE"},
        {{"export", "db.mdb", "T", "--help"}, "Usage: varnex tables FILE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const VarnexRun run = runVarnex(c.arguments, work_.path());
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_TRUE(run.out.startsWith(c.start)) << run.out.constData();
    }
}

}  // namespace
}  // namespace varnex::test
