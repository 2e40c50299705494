#include "export/cmdExport_Click.h"

#include "app/GlobalSettings.h"
#include "app/WriteLog.h"
#include "browser/frmMain.h"
#include "export/CsvFileName.h"
#include "export/ExportCsvFile.h"
#include "export/ExportProgressDialog.h"
#include "platform/AppInfo.h"
#include "platform/MsgBox.h"
#include "platform/data/Recordset.h"

namespace varnex {

namespace {

const QString kFailureTitle = QStringLiteral("ExportError");

void PrepareSaveDialog(CommonDialog& dialog)
{
    dialog.InitDir = AppPath();
    dialog.DialogTitle = QStringLiteral("Select output File and Directory");
    dialog.Filter = QStringLiteral("CSV |*.csv");
    dialog.CancelError = true;
}

void ReportFailure(const Error& error)
{
    WriteLog(kFailureTitle, error.description, true);
}

}  // namespace

void cmdExport_Click(frmMain& form)
{
    const std::shared_ptr<Recordset> records = form.dgData->DataSource();
    if (!records) {
        MsgBox(QStringLiteral("No data to export!"), msgbox::vbCritical);
        return;
    }
    const Result<int64_t> recordCount = records->RecordCount();
    if (!recordCount) {
        ReportFailure(recordCount.error());
        return;
    }
    if (*recordCount == 0) {
        MsgBox(QStringLiteral("No data to export!"), msgbox::vbInformation);
        return;
    }

    PrepareSaveDialog(form.CD);
    if (!form.CD.ShowSave(&form))
        return;  // cancelled, or the dialog failed: nothing to say

    const QString fileName = WithCsvEnding(form.CD.FileName);
    const CsvOptions options{.includeHeader = Globals().gIncHeader != 0};
    ExportProgressDialog progress(&form);
    const Result<CsvOutcome> outcome = ExportCsvFile(*records, fileName, options, &progress);
    if (!outcome)
        ReportFailure(outcome.error());
}

}  // namespace varnex
