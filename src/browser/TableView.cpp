// The table list and the table view of the main window.

#include "app/GlobalSettings.h"
#include "app/WriteLog.h"
#include "browser/LoadProgressDialog.h"
#include "browser/frmMain.h"
#include "platform/RuntimeError.h"
#include "platform/data/Connection.h"
#include "platform/data/DataTypes.h"
#include "platform/data/Recordset.h"

#include <QComboBox>

namespace varnex {

namespace {

const QString kLoadTableError = QStringLiteral("LoadTableError");
const QString kFillTableListError = QStringLiteral("FillTableList");

// Runtime error 91: an object reference that holds nothing.
Error NoConnection()
{
    return RuntimeError(91);
}

// System tables carry this prefix in any letter case.
bool IsSystemTableName(const QString& name)
{
    return name.left(4).toUpper() == QLatin1String("MSYS");
}

bool IsRecordIdCaption(const QString& caption)
{
    return caption.toUpper() == QLatin1String("RECID");
}

}  // namespace

Status frmMain::TryFillTableList()
{
    GlobalSettings& globals = Globals();
    if (globals.gDataPath.isEmpty())
        return {};
    if (!globals.gConn)
        return NoConnection();

    Result<std::shared_ptr<Recordset>> opened = globals.gConn->OpenSchema(adSchemaTables);
    if (!opened)
        return opened.error();
    const std::shared_ptr<Recordset> schema = *opened;

    cboTable->clear();
    while (!schema->Eof()) {
        Result<Field> tableName = schema->Fields().Item(QStringLiteral("TABLE_NAME"));
        if (!tableName)
            return tableName.error();
        const QString name = ValueText(tableName->Value());
        if (!IsSystemTableName(name))
            cboTable->addItem(name);
        if (Status moved = schema->MoveNext(); !moved)
            return moved.error();
    }
    cboTable->setCurrentIndex(-1);  // the refilled list has no entry chosen
    return schema->Close();
}

void frmMain::FillTableList()
{
    if (Status filled = TryFillTableList(); !filled)
        WriteLog(kFillTableListError, filled.error().description, true);
}

void frmMain::cboTable_Click()
{
    if (cboTable->currentIndex() == -1)
        return;
    LoadTable(cboTable->currentText());
}

void frmMain::LoadTable(const QString& tableName)
{
    releaseShownRecordset();

    auto recordset = std::make_shared<Recordset>();
    recordset->setCursorLocation(adUseClient);
    LoadProgressDialog progress(this, tableName, loadProgressDelayMs_);
    const std::shared_ptr<Connection>& connection = Globals().gConn;
    const Status opened = recordset->Open(tableName, connection.get(), adOpenKeyset, adLockReadOnly,
                                          adOptionUnspecified, progress.callback());
    // A load the user cancelled ends as quietly as it began, with the grid left empty.
    if (progress.cancelled())
        return;
    if (!opened) {
        WriteLog(kLoadTableError, opened.error().description, true);
        return;
    }
    recordset->setActiveConnection(nullptr);
    dgData->setDataSource(std::move(recordset));
    hideRecordIdColumns();
    showRowCount();
}

void frmMain::hideRecordIdColumns()
{
    GridColumns columns = dgData->Columns();
    for (int16_t c = 0; c < columns.Count(); ++c) {
        GridColumn column = columns.Item(c);
        if (IsRecordIdCaption(column.Caption()))
            column.setVisible(false);
    }
}

}  // namespace varnex
