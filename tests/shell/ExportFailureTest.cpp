// Exports that cannot finish: reported once, and no partial file left behind.

#include "support/ExportFixture.h"
#include "support/TableBuilders.h"

#include "core/LocaleCodec.h"
#include "data/Recordset.h"
#include "export/CsvFileExport.h"
#include "shell/ExportProgressDialog.h"
#include "support/AsOrdinaryUser.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTimer>

#include <unistd.h>

#include <string>

namespace varnex::test {
namespace {

using jetwriter::ColumnType;
using namespace std::chrono_literals;

const QByteArray kOldContents = "old file\r\n";

jetwriter::Table ManyRows(int64_t count)
{
    auto table = Table("Many", {Column("ID", ColumnType::Long), Column("Name", ColumnType::Text)}, {});
    for (int64_t i = 1; i <= count; ++i)
        table.rows.push_back({I(i), T("row number " + std::to_string(i))});
    return table;
}

class ExportFailure : public ExportFixture {
protected:

    // One log line and one critical box, both under the export's title.
    void expectReportedOnce()
    {
        std::string shown;
        for (const Message& box : boxes())
            shown += box.title.toStdString() + ": " + box.text.toStdString() + "\n";
        ASSERT_EQ(boxes().size(), 1u) << shown;
        EXPECT_EQ(boxes()[0].style, MessageStyle::Critical);
        EXPECT_EQ(boxes()[0].title, QStringLiteral("ExportError"));
        EXPECT_FALSE(boxes()[0].text.isEmpty());
        const QStringList lines = logLines();
        ASSERT_EQ(lines.size(), 1);
        EXPECT_TRUE(lines[0].contains(QStringLiteral("ExportError: ") + boxes()[0].text)) << lines[0].toStdString();
    }
};

TEST_F(ExportFailure, MissingFolderIsReported)
{
    showTable(ManyRows(3));
    answerSaveDialog(pathOf(QStringLiteral("gone/report")));
    pressExport();
    expectReportedOnce();
    EXPECT_TRUE(filesIn(folder()).isEmpty());
}

TEST_F(ExportFailure, ReadOnlyFolderKeepsTheOldFile)
{
    showTable(ManyRows(3));
    const QString locked = pathOf(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(locked));
    writeFile(locked + QStringLiteral("/report.CSV"), kOldContents);
    // The ordinary user may reach the folders, write the log, but not write in "locked".
    // Group and others alike, as the ordinary user may share root's group.
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                          QFile::ExeOther;
    const auto writable = readOnly | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    const QString root = QFileInfo(folder()).path();
    for (const QString& path : {root, folder()})
        QFile::setPermissions(path, readOnly | QFile::WriteOwner);
    QFile::setPermissions(root + QStringLiteral("/log"), writable);
    QFile::setPermissions(locked, readOnly);
    answerSaveDialog(locked + QStringLiteral("/report"));
    {
        AsOrdinaryUser ordinaryUser;
        pressExport();
    }
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    expectReportedOnce();
    EXPECT_EQ(filesIn(locked), QStringList{QStringLiteral("report.CSV")});
    EXPECT_EQ(readFile(locked + QStringLiteral("/report.CSV")), kOldContents);
}

TEST_F(ExportFailure, FullDiskKeepsTheOldFileAndLeavesNoPart)
{
    showTable(ManyRows(40000));
    writeFile(pathOf(QStringLiteral("report.CSV")), kOldContents);
    answerSaveDialog(pathOf(QStringLiteral("report")));
    {
        FileSizeLimit limit(64 * 1024);
        pressExport();
    }
    expectReportedOnce();
    EXPECT_EQ(filesIn(folder()), QStringList{QStringLiteral("report.CSV")});
    EXPECT_EQ(readFile(pathOf(QStringLiteral("report.CSV"))), kOldContents);
}

TEST_F(ExportFailure, CancelInTheProgressDialogWritesNothing)
{
    showTable(ManyRows(40000));
    writeFile(pathOf(QStringLiteral("report.CSV")), kOldContents);
    const std::shared_ptr<Recordset> records = form().grid->recordset();
    ASSERT_NE(records, nullptr);

    bool dialogShown = false;
    QTimer::singleShot(0, &form(), [&] {
        if (auto* dialog = form().findChild<QProgressDialog*>(QStringLiteral("dlgExportProgress"))) {
            dialogShown = dialog->isVisible();
            dialog->cancel();
        }
    });
    ExportProgressDialog progress(&form(), 0ms);
    const Result<CsvOutcome> outcome =
        exportCsvFile(*records, pathOf(QStringLiteral("report.CSV")), CsvOptions{.includeHeader = true}, &progress);

    EXPECT_TRUE(dialogShown);
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(*outcome, CsvOutcome::Cancelled);
    EXPECT_EQ(filesIn(folder()), QStringList{QStringLiteral("report.CSV")});
    EXPECT_EQ(readFile(pathOf(QStringLiteral("report.CSV"))), kOldContents);
}

}  // namespace
}  // namespace varnex::test
