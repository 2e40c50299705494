// The table list and the table view of the main window.

#include "app/AppSettings.h"
#include "core/Error.h"
#include "core/Log.h"
#include "data/Connection.h"
#include "data/FieldTypes.h"
#include "data/Recordset.h"
#include "data/TableList.h"
#include "data/ValueFormatter.h"
#include "shell/FindBar.h"
#include "shell/StatusLine.h"
#include "shell/TableLoad.h"
#include "shell/MainWindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>

namespace varnex {

namespace {

const QString kLoadTableError = QStringLiteral("LoadTableError");
const QString kFillTableListError = QStringLiteral("FillTableList");

bool isRecordIdCaption(const QString& caption)
{
    return caption.toUpper() == QLatin1String("RECID");
}

}  // namespace

Status MainWindow::fillTableList()
{
    AppSettings& globals = appSettings();
    if (globals.dataPath.isEmpty())
        return {};
    if (!globals.connection)
        return makeError(ErrorCode::NoObject);

    // The window repaints and runs its timers while the reader is slow; input waits.
    const Result<std::vector<TableEntry>> tables = readTableList(*globals.connection, [](int64_t, int64_t) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return true;
    });
    if (!tables)
        return tables.error();

    tableList->clear();
    for (const TableEntry& table : *tables) {
        if (isUserTable(table))
            tableList->addItem(table.name);
    }
    tableList->setCurrentIndex(-1);  // the refilled list has no entry chosen
    showRowCount();
    return {};
}

void MainWindow::refillTableList()
{
    if (Status filled = fillTableList(); !filled)
        writeLog(kFillTableListError, filled.error().description, true);
}

void MainWindow::showChosenTable()
{
    if (tableList->currentIndex() == -1)
        return;
    showTable(tableList->currentText());
}

void MainWindow::showTable(const QString& tableName)
{
    releaseShownRecordset();

    const std::shared_ptr<Connection>& connection = appSettings().connection;
    if (!connection) {
        writeLog(kLoadTableError, makeError(ErrorCode::ConnectionUnusable).description, true);
        return;
    }
    TableLoad load(*grid, *statusLine, [this] { hideRecordIdColumns(); });
    const Status loaded = load.run(*connection, {appSettings().dataPath, tableName}, this, loadProgressDelayMs_);
    // A load the user cancelled ends as quietly as it began, with the grid left empty.
    if (load.cancelled())
        return;
    if (!loaded) {
        writeLog(kLoadTableError, loaded.error().description, true);
        showRowCount();
        return;
    }
    // The find bar's text keeps filtering whatever table is shown.
    if (!findBar->edit->text().isEmpty())
        grid->setFilterText(findBar->edit->text());
    showRowCount();
}

void MainWindow::hideRecordIdColumns()
{
    GridColumns columns = grid->columns();
    for (int16_t c = 0; c < columns.count(); ++c) {
        GridColumn column = columns.item(c);
        if (isRecordIdCaption(column.caption()))
            column.setVisible(false);
    }
}

}  // namespace varnex
