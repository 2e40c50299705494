#include "shell/ExportCommand.h"

#include "app/AppSettings.h"
#include "core/Log.h"
#include "core/Messages.h"
#include "data/Recordset.h"
#include "export/CsvFileExport.h"
#include "export/CsvFileName.h"
#include "shell/ExportProgressDialog.h"
#include "shell/MainWindow.h"
#include "shell/StartingFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace varnex {

namespace {

const QString kFailureTitle = QStringLiteral("ExportError");

void prepareSaveDialog(FileDialog& dialog)
{
    dialog.initialFolder = startingFolder(FolderUse::Export);
    dialog.title = QStringLiteral("Select output File and Directory");
    dialog.filter = QStringLiteral("CSV |*.csv");
}

void reportFailure(const Error& error)
{
    writeLog(kFailureTitle, error.description, true);
}

// A file that is there already is replaced only when the user says so; a device or a pipe is
// written where it is, as the command line does.
bool mayWriteTo(const QString& fileName)
{
    const QFileInfo file(fileName);
    if (!file.isFile())
        return true;
    return askQuestion(QCoreApplication::translate("ExportCommand", "%1 already exists.\nDo you want to replace it?")
                           .arg(QDir::toNativeSeparators(fileName)));
}

}  // namespace

void exportShownTable(MainWindow& form)
{
    const MainWindow::BusyScope busy(form);
    // The file holds the rows the grid shows as the export starts, in their order: a filter still
    // running is finished first, and the rows are taken apart from the grid, which the save
    // dialog's and the progress dialog's event loops may change meanwhile.
    form.grid->finishFiltering();
    const std::shared_ptr<Recordset> shown = form.grid->recordset();
    if (!shown) {
        showMessage(QStringLiteral("No data to export!"), MessageStyle::Critical);
        return;
    }
    const std::unique_ptr<const Recordset> records = shown->snapshot();
    const Result<int64_t> recordCount = records->recordCount();
    if (!recordCount) {
        reportFailure(recordCount.error());
        return;
    }
    if (*recordCount == 0) {
        showMessage(QStringLiteral("No data to export!"), MessageStyle::Information);
        return;
    }

    prepareSaveDialog(form.fileDialog);
    if (!form.fileDialog.showSave(&form))
        return;  // cancelled, or the dialog failed: nothing to say

    const QString fileName = withCsvEnding(form.fileDialog.fileName);
    if (!mayWriteTo(fileName))
        return;
    const CsvOptions options{.includeHeader = appSettings().includeHeader != 0};
    ExportProgressDialog progress(&form);
    const Result<CsvOutcome> outcome = exportCsvFile(*records, fileName, options, &progress);
    if (!outcome)
        reportFailure(outcome.error());
    else
        rememberFolderOf(FolderUse::Export, fileName);
}

}  // namespace varnex
