// The Export button: its message boxes, the save dialog, the file name rule,
// replacing and cancelling, the sorted order and large tables.

#include "support/ExportFixture.h"
#include "support/CsvReadBack.h"
#include "support/TableBuilders.h"

#include "app/AppSettings.h"
#include "core/Application.h"
#include "core/LocaleCodec.h"
#include "data/Recordset.h"
#include "shell/DataGrid.h"
#include "shell/ExportAllCommand.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <string>

namespace varnex::test {
namespace {

using jetwriter::ColumnType;

const QByteArray kThreePeople = "1,\"Ann\"\r\n2,\"Bob\"\r\n3,\"Cy\"\r\n";
const CsvRecords kThreePeopleRead = {{"1", "Ann"}, {"2", "Bob"}, {"3", "Cy"}};

jetwriter::Table People()
{
    return Table("People", {Column("ID", ColumnType::Long), Column("Name", ColumnType::Text)},
                 {{I(1), T("Ann")}, {I(2), T("Bob")}, {I(3), T("Cy")}});
}

class ExportCommand : public ExportFixture {};

TEST_F(ExportCommand, SaysNoDataWithoutATableOrWithAnEmptyOne)
{
    openDatabase({Table("Empty", {Column("ID", ColumnType::Long)}, {})});
    pressExport();  // nothing loaded yet
    form().showTable(QStringLiteral("Empty"));
    ASSERT_NE(form().grid->recordset(), nullptr);
    pressExport();

    const std::vector<Message> expected = {
        {QStringLiteral("No data to export!"), MessageStyle::Critical, appTitle()},
        {QStringLiteral("No data to export!"), MessageStyle::Information, appTitle()},
    };
    EXPECT_EQ(boxes(), expected);
    EXPECT_TRUE(dialogs().empty());
    EXPECT_TRUE(filesIn(folder()).isEmpty());
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(ExportCommand, PreparesTheSaveDialogAndProposesTheLastName)
{
    showTable(People());
    form().fileDialog.fileName.clear();
    exportAs(QStringLiteral("first"));
    exportAs(QStringLiteral("second"));

    ASSERT_EQ(dialogs().size(), 2u);
    for (const SaveDialogSeen& seen : dialogs()) {
        EXPECT_EQ(seen.initialFolder, appFolder());
        EXPECT_EQ(seen.title, QStringLiteral("Select output File and Directory"));
        EXPECT_EQ(seen.filter, QStringLiteral("CSV |*.csv"));
    }
    EXPECT_EQ(dialogs()[0].fileName, QString());
    EXPECT_EQ(dialogs()[1].fileName, pathOf(QStringLiteral("first")));
}

TEST_F(ExportCommand, EndsTheNameInCsv)
{
    showTable(People());
    const std::vector<std::pair<QString, QString>> names = {
        {"report", "report.CSV"}, {"REPORT.csv", "REPORT.csv"}, {"report.cSv", "report.cSv"},
        {"a.b", "a.b.CSV"},       {"csv", "csv.CSV"},           {"data.txt", "data.txt.CSV"},
    };
    QStringList expectedFiles;
    for (const auto& [chosen, written] : names) {
        answerSaveDialog(pathOf(chosen));
        pressExport();
        EXPECT_EQ(readFile(pathOf(written)), kThreePeople) << written.toStdString();
        ExpectReadsBackAs(pathOf(written), kThreePeopleRead);
        expectedFiles << written;
    }
    expectedFiles.sort();
    EXPECT_EQ(filesIn(folder()), expectedFiles);
    EXPECT_TRUE(boxes().empty());
}

// An existing file is replaced only after the user says Yes; No leaves it as it was.
TEST_F(ExportCommand, AsksBeforeReplacingAnExistingFile)
{
    showTable(People());
    const QByteArray old = "old contents, longer than the new ones ...........\r\n";
    const Message question{pathOf(QStringLiteral("report.CSV")) + QStringLiteral(" already exists.\nDo you want to replace it?"),
                           MessageStyle::Question, appTitle()};
    const struct {
        const char* name;
        bool exists;
        bool yes;
        QByteArray after;
        std::vector<Message> boxes;
    } cases[] = {
        {"a new file", false, false, kThreePeople, {}},
        {"replaced", true, true, kThreePeople, {question}},
        {"kept", true, false, old, {question}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(pathOf(QStringLiteral("report.CSV")));
        if (c.exists)
            writeFile(pathOf(QStringLiteral("report.CSV")), old);
        const size_t before = questions().size();
        answerReplace(c.yes);
        EXPECT_EQ(exportAs(QStringLiteral("report")), c.after);
        EXPECT_EQ(std::vector<Message>(questions().begin() + static_cast<std::ptrdiff_t>(before), questions().end()),
                  c.boxes);
        EXPECT_TRUE(boxes().empty());
        EXPECT_EQ(filesIn(folder()), QStringList{QStringLiteral("report.CSV")});
    }
}

// Export All writes each listed table to its file in the chosen folder, as the Export button
// writes it, asking once before replacing files; the summary names each file.
TEST_F(ExportCommand, ExportAllWritesEveryListedTableIntoTheFolder)
{
    openDatabase({People(), Table("Odd/Name", {Column("N", ColumnType::Long)}, {{I(7)}}),
                  Table("Empty", {Column("N", ColumnType::Long)}, {})});
    ASSERT_TRUE(form().fillTableList().ok());
    const QByteArray old = "old\r\n";
    const struct {
        const char* name;
        bool existing;
        bool yes;
        QStringList files;
        QByteArray people;
        QString summary;  // the last box; empty: none
    } cases[] = {
        {"into an empty folder", false, true, {"Empty.csv", "Odd_Name.csv", "People.csv"}, kThreePeople,
         "3 of 3 tables exported to %1/:\nEmpty -> Empty.csv (0 rows)\nOdd/Name -> Odd_Name.csv (1 row)\n"
         "People -> People.csv (3 rows)"},
        {"replacing, No", true, false, {"People.csv"}, old, ""},
        {"replacing, Yes", true, true, {"Empty.csv", "Odd_Name.csv", "People.csv"}, kThreePeople,
         "3 of 3 tables exported to %1/:\nEmpty -> Empty.csv (0 rows)\nOdd/Name -> Odd_Name.csv (1 row)\n"
         "People -> People.csv (3 rows)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(folder()).removeRecursively();
        QDir().mkpath(folder());
        if (c.existing)
            writeFile(pathOf("People.csv"), old);
        const size_t boxesBefore = boxes().size();
        const size_t questionsBefore = questions().size();
        answerReplace(c.yes);
        answerSaveDialog(folder());
        exportAllTables(form());
        EXPECT_EQ(filesIn(folder()), c.files);
        EXPECT_EQ(readFile(pathOf("People.csv")), c.people);
        const std::vector<Message> shown(boxes().begin() + static_cast<std::ptrdiff_t>(boxesBefore), boxes().end());
        const std::vector<Message> asked(questions().begin() + static_cast<std::ptrdiff_t>(questionsBefore),
                                         questions().end());
        std::vector<Message> expectedQuestions;
        if (c.existing)
            expectedQuestions.push_back({"1 of the files already exist in " + folder() + "/.\nDo you want to replace them?",
                                         MessageStyle::Question, appTitle()});
        std::vector<Message> expectedBoxes;
        if (!c.summary.isEmpty())
            expectedBoxes.push_back({c.summary.arg(folder()), MessageStyle::Information, "Export All"});
        EXPECT_EQ(asked, expectedQuestions);
        EXPECT_EQ(shown, expectedBoxes);
    }
    EXPECT_EQ(dialogs().back().initialFolder, appFolder());
}

TEST_F(ExportCommand, CancelLeavesEverythingAsItWas)
{
    showTable(People());
    writeFile(pathOf(QStringLiteral("keep.CSV")), "old\r\n");
    form().fileDialog.fileName = pathOf(QStringLiteral("keep"));
    answerSaveDialog(std::nullopt);
    pressExport();

    EXPECT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(filesIn(folder()), QStringList{QStringLiteral("keep.CSV")});
    EXPECT_EQ(readFile(pathOf(QStringLiteral("keep.CSV"))), QByteArray("old\r\n"));
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(ExportCommand, FollowsTheGridSortAndKeepsTheView)
{
    showTable(Table("Sortable", {Column("ID", ColumnType::Long), Column("Name", ColumnType::Text)},
                    {{I(1), T("pear")}, {I(2), T("apple")}, {I(3), T("fig")}}));
    form().grid->selectColumn(1);
    form().sortBySelectedColumn();
    ASSERT_TRUE(boxes().empty());

    EXPECT_EQ(exportAs(QStringLiteral("sorted")), QByteArray("2,\"apple\"\r\n3,\"fig\"\r\n1,\"pear\"\r\n"));
    ExpectReadsBackAs(pathOf(QStringLiteral("sorted.CSV")), {{"2", "apple"}, {"3", "fig"}, {"1", "pear"}});
    const std::shared_ptr<Recordset> records = form().grid->recordset();
    ASSERT_NE(records, nullptr);
    EXPECT_EQ(records->sort(), QStringLiteral("[Name]"));
}

// With a text in the find bar the export writes exactly the rows the grid shows, in its order;
// the hidden record ids are neither searched nor written.
TEST_F(ExportCommand, WritesTheFilteredRowsInTheOrderShown)
{
    showTable(Table("Fruit",
                    {Column("RecId", ColumnType::Text), Column("ID", ColumnType::Long), Column("Name", ColumnType::Text)},
                    {{T("x"), I(1), T("Pear")}, {T("x"), I(2), T("apple")}, {T("x"), I(3), T("FIG")},
                     {T("x"), I(4), T("Grape, \"seedless\"")}, {T("x"), I(5), T("kiwi")}}));
    const struct {
        const char* name;
        QString typed;
        int sortColumn;  // sorted descending by it first; -1 for the order as it is
        bool header;
        QByteArray expected;
    } cases[] = {
        {"filtered", "p", -1, false, "1,\"Pear\"\r\n2,\"apple\"\r\n4,\"Grape, \"\"seedless\"\"\"\r\n"},
        {"filtered and sorted", "p", 2, true,
         "\"ID\",\"Name\"\r\n1,\"Pear\"\r\n4,\"Grape, \"\"seedless\"\"\"\r\n2,\"apple\"\r\n"},
        {"sorted, then filtered again", "i", -1, false, "5,\"kiwi\"\r\n3,\"FIG\"\r\n"},
        {"a number", "4", -1, false, "4,\"Grape, \"\"seedless\"\"\"\r\n"},
        {"cleared", "", 1, false, "5,\"kiwi\"\r\n4,\"Grape, \"\"seedless\"\"\"\r\n3,\"FIG\"\r\n2,\"apple\"\r\n1,\"Pear\"\r\n"},
    };
    int exported = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        form().grid->setFilterText(c.typed);
        if (c.sortColumn >= 0)
            form().sortByColumn(c.sortColumn, Qt::DescendingOrder);
        setHeader(c.header);
        EXPECT_EQ(exportAs(QStringLiteral("shown%1").arg(++exported)), c.expected);
    }
    // Nothing shown: nothing to export.
    form().grid->setFilterText("x");
    pressExport();
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes().front().text, "No data to export!");
    EXPECT_TRUE(logLines().isEmpty());
}

// A few rows shown of many: the writer reads ahead of the row it writes, never past the rows shown.
TEST_F(ExportCommand, WritesAFewRowsShownOfMany)
{
    auto table = Table("Many", {Column("ID", ColumnType::Long), Column("Name", ColumnType::Text)}, {});
    for (int64_t i = 1; i <= 91; ++i)
        table.rows.push_back({I(i), T(i == 17 || i == 60 ? "needle " + std::to_string(i) : "hay")});
    showTable(table);
    for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        form().sortByColumn(0, order);
        form().grid->setFilterText("needle");
        const QByteArray expected = order == Qt::AscendingOrder ? "17,\"needle 17\"\r\n60,\"needle 60\"\r\n"
                                                                : "60,\"needle 60\"\r\n17,\"needle 17\"\r\n";
        EXPECT_EQ(exportAs(order == Qt::AscendingOrder ? "up" : "down"), expected);
    }
    EXPECT_TRUE(boxes().empty());
}

// Export and copy wait for a filter still running in the background: they write the rows its
// text asks for, never those shown before it nor a mix.
TEST_F(ExportCommand, FinishesTheFilterRunningInTheBackgroundFirst)
{
    constexpr int64_t kRows = 60000;  // filtered in the background
    jetwriter::Table table = Table("Big", {Column("ID", ColumnType::Long), Column("Name", ColumnType::Text)}, {});
    int64_t next = 0;
    table.rowSource = [&next](jetwriter::Row& row) {
        if (next == kRows)
            return false;
        ++next;
        row = {I(next), T(next % 7919 == 0 ? "prime " + std::to_string(next) : "plain")};
        return true;
    };
    showTable(table);
    QByteArray expected;
    QString copied;
    for (int64_t i = 7919; i <= kRows; i += 7919) {
        expected += std::to_string(i) + ",\"prime " + std::to_string(i) + "\"\r\n";
        copied += QString::number(i) + "\tprime " + QString::number(i) + "\n";
    }
    form().grid->setFilterText("prim");
    ASSERT_TRUE(form().grid->isFiltering());
    EXPECT_EQ(exportAs("while filtering"), expected);

    form().grid->setFilterText("");
    form().grid->setFilterText("prime");
    ASSERT_TRUE(form().grid->isFiltering());
    form().grid->selectAll();
    form().grid->copySelection();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), copied);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(ExportCommand, WritesEveryRecordBeyondThe16BitLimit)
{
    constexpr int64_t kRows = 40000;
    auto table = Table("Many", {Column("ID", ColumnType::Long), Column("Name", ColumnType::Text)}, {});
    for (int64_t i = 1; i <= kRows; ++i)
        table.rows.push_back({I(i), T(std::string("r").append(std::to_string(i)))});
    showTable(table);
    setHeader(true);

    const QByteArray bytes = exportAs(QStringLiteral("many"));
    EXPECT_EQ(bytes.count("\r\n"), kRows + 1);
    EXPECT_TRUE(bytes.startsWith("\"ID\",\"Name\"\r\n1,\"r1\"\r\n"));
    EXPECT_TRUE(bytes.contains("\r\n32767,\"r32767\"\r\n32768,\"r32768\"\r\n"));
    EXPECT_TRUE(bytes.endsWith("\r\n40000,\"r40000\"\r\n"));

    CsvRecords expected{{"ID", "Name"}};
    for (int64_t i = 1; i <= kRows; ++i)
        expected.push_back({QString::number(i), QStringLiteral("r%1").arg(i)});
    ExpectReadsBackAs(pathOf(QStringLiteral("many.CSV")), expected);
}

TEST_F(ExportCommand, WritesTheAnsiCodePage)
{
    showTable(Table("Words", {Column("Wort", ColumnType::Text)}, {{T("Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac \xf0\x9f\x98\x80")}}));
    struct CodeSetCase {
        QByteArray codeSet;
        QByteArray expected;
        QString readBack;
    };
    const std::vector<CodeSetCase> cases = {
        {"UTF-8", "\"Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac \xf0\x9f\x98\x80\"\r\n",
         QStringLiteral("Gr\u00fc\u00dfe \u20ac \U0001F600")},
        {"ISO-8859-1", "\"Gr\xfc\xdf" "e ? ?\"\r\n", QStringLiteral("Gr\u00fc\u00dfe ? ?")},
        {"ISO-8859-15", "\"Gr\xfc\xdf" "e \xa4 ?\"\r\n", QStringLiteral("Gr\u00fc\u00dfe \u20ac ?")},
        {"ANSI_X3.4-1968", "\"Gr??e ? ?\"\r\n", QStringLiteral("Gr??e ? ?")},
    };
    for (const CodeSetCase& c : cases) {
        SCOPED_TRACE(c.codeSet.toStdString());
        setLocaleCodeSetForTesting(c.codeSet);
        const QString chosen = QString::fromLatin1(c.codeSet);
        EXPECT_EQ(exportAs(chosen).toStdString(), c.expected.toStdString());
        ExpectReadsBackAs(pathOf(chosen + QStringLiteral(".CSV")), CsvRecords{QStringList{c.readBack}});
    }
}

// Files made by Access itself: every record reads back with the header's number of fields.
TEST_F(ExportCommand, ExportsTablesOfRealAccessFiles)
{
    const QString realData = qEnvironmentVariable("VARNEX_REALDATA");
    if (realData.isEmpty() || !QFile::exists(realData + QStringLiteral("/testV2000.mdb")))
        GTEST_SKIP() << "no real Access files here";
    setHeader(true);
    const std::vector<std::pair<QString, QString>> files = {
        {"testV1997.mdb", "Provider=Microsoft.Jet.OLEDB.3.51"},
        {"testV2000.mdb", "Provider=Microsoft.Jet.OLEDB.4.0"},
        {"test2V1997.mdb", "Provider=Microsoft.Jet.OLEDB.3.51"},
    };
    for (const auto& [file, provider] : files) {
        SCOPED_TRACE(file.toStdString());
        connectTo(realData + QLatin1Char('/') + file, provider);
        form().refillTableList();
        int exported = 0;
        for (int entry = 0; entry < form().tableList->count(); ++entry) {
            const QString table = form().tableList->itemText(entry);
            form().showTable(table);
            const std::shared_ptr<Recordset> records = form().grid->recordset();
            ASSERT_NE(records, nullptr) << table.toStdString();
            if (*records->recordCount() == 0)
                continue;
            const QString chosen = file + QLatin1Char('_') + table;
            exportAs(chosen);
            ++exported;
            const CsvRecords read = ReadCsvWithPython(pathOf(chosen + QStringLiteral(".CSV")));
            ASSERT_EQ(static_cast<int64_t>(read.size()), *records->recordCount() + 1) << table.toStdString();
            for (const QStringList& record : read)
                EXPECT_EQ(record.size(), records->columnCount()) << table.toStdString();
        }
        EXPECT_GT(exported, 0);
    }
}

}  // namespace
}  // namespace varnex::test
