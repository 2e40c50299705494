#include "shell/ExportAllCommand.h"

#include "app/AppSettings.h"
#include "core/Log.h"
#include "core/Messages.h"
#include "data/Connection.h"
#include "data/Recordset.h"
#include "data/TableList.h"
#include "export/CsvFileExport.h"
#include "export/CsvFileNames.h"
#include "shell/MainWindow.h"
#include "shell/StartingFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

namespace varnex {
namespace {

const QString kFailureTitle = QStringLiteral("ExportAllError");
const QString kWarningTitle = QStringLiteral("ExportAllWarning");

QString tr(const char* text, int n = -1)
{
    return QCoreApplication::translate("ExportAllCommand", text, nullptr, n);
}

// The one progress dialog: the table at hand, and Cancel, which stops before the next table
// (and ends the table at hand without its file).
class TablesProgress : public ExportProgress {
public:
    TablesProgress(QWidget* owner, qsizetype tables) : dialog_(QString(), tr("Cancel"), 0, static_cast<int>(tables), owner)
    {
        dialog_.setObjectName(QStringLiteral("dlgExportAll"));
        dialog_.setWindowTitle(tr("Export All"));
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(0);
        dialog_.setAutoReset(false);
    }
    void startTable(qsizetype index, const QString& table)
    {
        dialog_.setLabelText(tr("Table %1 of %2: %3").arg(index + 1).arg(dialog_.maximum()).arg(table));
        dialog_.setValue(static_cast<int>(index));
    }
    bool keepGoing(int64_t, int64_t) override
    {
        QCoreApplication::processEvents();
        return !dialog_.wasCanceled();
    }
    bool cancelled() const { return dialog_.wasCanceled(); }
    LoadProgress loadProgress()
    {
        return [this](int64_t read, int64_t count) { return keepGoing(read, count); };
    }

private:
    QProgressDialog dialog_;
};

// One table into its file; the line of the summary, or the error.
Result<QString> exportTable(Connection& connection, const QString& table, const QString& path, TablesProgress& progress)
{
    Recordset records;
    if (Status opened = records.open(exactTableSource(table), &connection, progress.loadProgress()); !opened)
        return opened.error();
    if (progress.cancelled())
        return makeError(ErrorCode::DialogCancelled);
    const CsvOptions options{.includeHeader = appSettings().includeHeader};
    const Result<CsvOutcome> written = exportCsvFile(records, path, options, &progress);
    if (!written)
        return written.error();
    if (*written == CsvOutcome::Cancelled)
        return makeError(ErrorCode::DialogCancelled);
    for (const ReadWarning& warning : records.warnings())
        writeLog(kWarningTitle, appSettings().dataPath + QStringLiteral(": ") + warning.text(), false);
    const Result<int64_t> counted = records.recordCount();
    const int64_t rows = counted.ok() ? *counted : 0;
    const QString rowText = rows == 1 ? tr("1 row") : tr("%1 rows").arg(rows);
    return records.warnings().empty()
               ? tr("%1 -> %2 (%3)").arg(table, QFileInfo(path).fileName(), rowText)
               : tr("%1 -> %2 (%3; some values could not be read, see the log)").arg(table, QFileInfo(path).fileName(), rowText);
}

QStringList listedTables(const MainWindow& form)
{
    QStringList tables;
    for (int i = 0; i < form.tableList->count(); ++i)
        tables << form.tableList->itemText(i);
    return tables;
}

// Existing files are replaced only when the user says so, once for all of them.
bool mayReplace(const QString& folder, const QStringList& files)
{
    qsizetype existing = 0;
    for (const QString& file : files)
        existing += QFileInfo(folder + file).isFile() ? 1 : 0;
    return existing == 0 ||
           askQuestion(tr("%n of the files already exist in %1.\nDo you want to replace them?", static_cast<int>(existing))
                           .arg(QDir::toNativeSeparators(folder)));
}

}  // namespace

void exportAllTables(MainWindow& form)
{
    const MainWindow::BusyScope busy(form);
    const std::shared_ptr<Connection> connection = appSettings().connection;
    const QStringList tables = listedTables(form);
    if (!connection || tables.isEmpty()) {
        showMessage(QStringLiteral("No data to export!"), MessageStyle::Critical);
        return;
    }
    FileDialog dialog;
    dialog.title = tr("Select the folder for the CSV files");
    dialog.initialFolder = startingFolder(FolderUse::Export);
    if (!dialog.showFolder(&form))
        return;
    const QString folder = QDir(dialog.fileName).absolutePath() + QLatin1Char('/');
    const QStringList files = csvFileNames(tables);
    if (!mayReplace(folder, files))
        return;
    rememberFolderOf(FolderUse::Export, folder);

    QStringList summary;
    int exported = 0;
    int failures = 0;
    {
        TablesProgress progress(&form, tables.size());
        for (qsizetype i = 0; i < tables.size() && !progress.cancelled(); ++i) {
            progress.startTable(i, tables[i]);
            const Result<QString> line = exportTable(*connection, tables[i], folder + files[i], progress);
            if (line) {
                ++exported;
                summary << *line;
            } else if (line.error().code != ErrorCode::DialogCancelled) {
                ++failures;
                summary << tr("%1: not exported: %2").arg(tables[i], line.error().description);
                writeLog(kFailureTitle, tables[i] + QStringLiteral(": ") + line.error().description, false);
            }
        }
        if (progress.cancelled())
            summary << tr("Cancelled: the tables after the last one named were not exported.");
    }
    summary.prepend(
        tr("%1 of %2 tables exported to %3:").arg(exported).arg(tables.size()).arg(QDir::toNativeSeparators(folder)));
    showMessage(summary.join(QLatin1Char('\n')), failures > 0 ? MessageStyle::Critical : MessageStyle::Information,
                tr("Export All"));
}

}  // namespace varnex
