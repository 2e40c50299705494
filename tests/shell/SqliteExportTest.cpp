// Export to SQLite from the window: the save dialog, the conversion on a thread of its own under a
// progress dialog that Cancel ends (the window's events running meanwhile, a second request ignored),
// and the box that sums it up, its details in the log.

#include "support/ExportFixture.h"

#include "cli/DamagedFiles.h"
#include "data/ReaderProcess.h"
#include "shell/SqliteExportCommand.h"
#include "cli/TestDatabases.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <sqlite3.h>

#include <chrono>
#include <functional>

namespace varnex::test {
namespace {

using namespace std::chrono_literals;
using jetwriter::ColumnType;

// The tables of a SQLite file with their row counts, "name rows" each.
QStringList tablesIn(const QString& path)
{
    QStringList tables;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* names = nullptr;
        sqlite3_prepare_v2(db, "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name", -1, &names, nullptr);
        while (sqlite3_step(names) == SQLITE_ROW) {
            const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(names, 0)));
            sqlite3_stmt* count = nullptr;
            sqlite3_prepare_v2(db, ("SELECT count(*) FROM \"" + name.toUtf8() + "\"").constData(), -1, &count, nullptr);
            sqlite3_step(count);
            tables << QStringLiteral("%1 %2").arg(name).arg(sqlite3_column_int64(count, 0));
            sqlite3_finalize(count);
        }
        sqlite3_finalize(names);
    }
    sqlite3_close(db);
    return tables;
}

class SqliteExportTest : public ExportFixture {
protected:
    // Runs the command; while its progress dialog shows, `during` runs on the window's thread at each
    // beat of a timer, told how many beats it has shown for.
    void exportWhile(const std::function<void(QProgressDialog&, int)>& during)
    {
        QTimer watch;
        int shownFor = 0;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* dialog = form().findChild<QProgressDialog*>(QStringLiteral("dlgSqliteExportProgress"));
            if (dialog && dialog->isVisible() && during)
                during(*dialog, shownFor++);
        });
        watch.start(5);
        exportDatabaseToSqlite(form());
    }
};

TEST_F(SqliteExportTest, WritesTheDatabaseAndSumsItUp)
{
    openDatabase({NameTable("Orders", {"a", "b"}), ManyRows("Many", 20000)});
    answerSaveDialog(pathOf("data.sqlite"));
    exportDatabaseToSqlite(form());
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].title, "Export to SQLite");
    EXPECT_EQ(dialogs()[0].fileName, "data.sqlite");
    EXPECT_EQ(dialogs()[0].filter, "SQLite database (*.sqlite *.db)|*.sqlite;*.db|All files|*");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, QStringLiteral("2 tables exported to \"%1\".").arg(pathOf("data.sqlite")));
    EXPECT_EQ(boxes()[0].style, MessageStyle::Information);
    EXPECT_EQ(filesIn(folder()), QStringList{"data.sqlite"});
    EXPECT_EQ(tablesIn(pathOf("data.sqlite")), QStringList({"Many 20000", "Orders 2"}));
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(SqliteExportTest, TellsWhatFailedAndWhatCouldNotBeReadAndLogsIt)
{
    jetwriter::Column shape{"Shape", ColumnType::Unknown, 4};
    shape.typeCode = 0x46;
    jetwriter::Database database;
    database.tables = {NameTable("Alpha", {"a"}), Table("Beta", {Column("BetaOnly", ColumnType::Long)}, {{I(1)}}),
                       Table("Odd", {shape}, {{jetwriter::Bytes{{1, 2, 3, 4}}}})};
    const QString file = folder() + QStringLiteral("/../troubled.mdb");
    jetwriter::writeDatabase(database, file.toStdString());
    const uint32_t page = loopDefinition(file, "BetaOnly");
    connectTo(file, QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0"));
    answerSaveDialog(pathOf("troubled.sqlite"));
    exportDatabaseToSqlite(form());
    const QString beta = QStringLiteral("Beta: The definition of the table 'Beta' (page %1) in '%2' is damaged.").arg(page).arg(file);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, QStringLiteral("2 tables exported to \"%1\"; 1 table could not be:\n\n%2\n\nSome values could not be read "
                                              "exactly and were left empty; the log names them.").arg(pathOf("troubled.sqlite"), beta));
    EXPECT_EQ(boxes()[0].style, MessageStyle::Critical);
    EXPECT_EQ(tablesIn(pathOf("troubled.sqlite")), QStringList({"Alpha 1", "Odd 1"}));
    const QStringList log = logLines();
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log[0].endsWith("SqliteExportWarning: " + file + ": table 'Odd': column 'Shape': its type 0x46 is not supported; its "
                                "values are left empty")) << log[0].toStdString();
    EXPECT_TRUE(log[1].endsWith("SqliteExportError: " + file + ": " + beta)) << log[1].toStdString();
}

TEST_F(SqliteExportTest, CancelEndsASilentReadWhileTheWindowRunsAndASecondRequestIsIgnored)
{
    openDatabase({NameTable("Orders", {"a"})});
    answerSaveDialog(pathOf("data.sqlite"));
    ReaderOptions faulty;
    faulty.program = qEnvironmentVariable("VARNEX_BIN_DIR") + "/faulty-reader";
    faulty.extraArguments = {"--stall"};
    faulty.stallTimeout = 60s;  // far beyond the test: only Cancel can end this read in time
    const ReaderOptions previous = setReaderOptionsForTesting(faulty);
    // The window's timers run on while the reader is silent; after ten beats, Cancel.
    int beats = 0;
    exportWhile([&](QProgressDialog& dialog, int shownFor) {
        beats = shownFor;
        if (shownFor == 0)
            exportDatabaseToSqlite(form());  // while one runs: nothing at all
        else if (shownFor == 10)
            dialog.findChild<QPushButton*>()->click();
    });
    setReaderOptionsForTesting(previous);
    EXPECT_GE(beats, 10);
    EXPECT_EQ(dialogs().size(), 1u);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "The export to SQLite was cancelled; nothing was written.");
    EXPECT_TRUE(filesIn(folder()).isEmpty());
}

TEST_F(SqliteExportTest, AsksNothingWithoutADatabaseAndWritesNothingWhenTheDialogIsCancelled)
{
    exportDatabaseToSqlite(form());
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "No database to export!");
    EXPECT_TRUE(dialogs().empty());
    openDatabase({NameTable("Orders", {"a"})});
    answerSaveDialog(std::nullopt);
    exportDatabaseToSqlite(form());
    EXPECT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(boxes().size(), 1u);
    EXPECT_TRUE(filesIn(folder()).isEmpty());
}

}  // namespace
}  // namespace varnex::test
