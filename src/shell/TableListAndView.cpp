// The table list and the table view of the main window.

#include "app/AppSettings.h"
#include "app/UserState.h"
#include "core/Error.h"
#include "core/Log.h"
#include "data/Connection.h"
#include "store/FieldTypes.h"
#include "data/Recordset.h"
#include "data/TableList.h"
#include "data/ValueFormatter.h"
#include "shell/FindBar.h"
#include "shell/MainWindow.h"
#include "shell/StatusLine.h"
#include "shell/TableListBox.h"
#include "shell/TableLoad.h"

#include <QCoreApplication>
#include <QLineEdit>

namespace varnex {

namespace {

const QString kLoadTableError = QStringLiteral("LoadTableError");
const QString kLoadTableWarning = QStringLiteral("LoadTableWarning");
const QString kFillTableListError = QStringLiteral("FillTableList");

// Each in the log, for the detail the status line has no room for; returns their lines.
QStringList logWarnings(const QString& title, const std::vector<ReadWarning>& warnings)
{
    QStringList lines;
    for (const ReadWarning& warning : warnings) {
        lines << warning.text();
        writeLog(title, appSettings().dataPath + QStringLiteral(": ") + lines.back(), false);
    }
    return lines;
}

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

    const BusyScope busy(*this);
    // The window repaints and runs its timers while the reader is slow; input waits.
    std::vector<ReadWarning> warnings;
    const Result<std::vector<TableEntry>> tables = readTableList(*globals.connection, warnings, [](int64_t, int64_t) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return true;
    });
    if (!tables)
        return tables.error();
    tableListWarnings_ = logWarnings(kFillTableListError, warnings);

    tableList->dropPendingChoice();
    tableList->clear();
    for (const TableEntry& table : *tables) {
        if (isUserTable(table))
            tableList->addItem(table.name);
    }
    // The refilled list names the table the grid shows, or none; a table no longer listed leaves the grid.
    const int shown = grid->recordset() ? listIndexOf(shownTable_) : -1;
    tableList->setCurrentIndex(shown);
    if (shown == -1)
        releaseShownRecordset();
    showRowCount();
    return {};
}

void MainWindow::refillTableList()
{
    if (Status filled = fillTableList(); !filled)
        writeLog(kFillTableListError, filled.error().description, true);
}

void MainWindow::followDatabase()
{
    if (shownDatabase_ != appSettings().dataPath)
        releaseShownRecordset();
    showRowCount();
}

void MainWindow::takeListChoice()
{
    // A choice that rests while a table loads or the list is read is taken once that is over.
    if (isBusy()) {
        tableList->delayChoice();
        return;
    }
    showChosenTable();
}

void MainWindow::showLastTable()
{
    const int last = listIndexOf(lastTableOf(appSettings().dataPath));
    if (!grid->recordset() && last != -1)
        showTable(tableList->itemText(last));
}

void MainWindow::showChosenTable()
{
    if (tableList->currentIndex() == -1)
        return;
    showTable(tableList->currentText());
}

void MainWindow::showTable(const QString& tableName)
{
    const BusyScope busy(*this);
    releaseShownRecordset();

    // Held for the load: the settings' connection is not to be replaced meanwhile, but a copy costs nothing.
    const std::shared_ptr<Connection> connection = appSettings().connection;
    const QString database = appSettings().dataPath;
    TableLoad load(*grid, *statusLine, [this] { hideRecordIdColumns(); });
    const Status loaded = connection ? load.run(*connection, {database, tableName}, this, loadProgressDelayMs_)
                                     : Status(makeError(ErrorCode::ConnectionUnusable));
    if (load.cancelled() || !loaded) {
        tableList->setCurrentIndex(-1);  // the list names no table while the grid shows none
        // A load the user cancelled ends as quietly as it began.
        if (!load.cancelled())
            writeLog(kLoadTableError, loaded.error().description, true);
        showRowCount();
        return;
    }
    logWarnings(kLoadTableWarning, grid->recordset()->warnings());
    shownDatabase_ = database;
    shownTable_ = tableName;
    tableList->setCurrentIndex(listIndexOf(tableName));
    // The find bar's text keeps filtering whatever table is shown.
    if (!findBar->edit->text().isEmpty())
        grid->setFilterText(findBar->edit->text());
    showRowCount();
    emit tableShown(tableName);
}

int MainWindow::listIndexOf(const QString& tableName) const
{
    return tableName.isEmpty() ? -1 : tableList->findText(tableName, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void MainWindow::hideRecordIdColumns()
{
    GridColumns columns = grid->columns();
    for (int c = 0; c < columns.count(); ++c) {
        GridColumn column = columns.item(c);
        if (isRecordIdCaption(column.caption()))
            column.setVisible(false);
    }
}

void MainWindow::showReadNotice()
{
    const std::shared_ptr<Recordset> shown = grid->recordset();
    QStringList details;
    if (shown) {
        for (const ReadWarning& warning : shown->warnings())
            details << warning.text();
    }
    if (!details.isEmpty())
        statusLine->showNotice(tr("Some values could not be read (see the log)"), details);
    else if (!tableListWarnings_.isEmpty())
        statusLine->showNotice(tr("Some tables could not be listed (see the log)"), tableListWarnings_);
    else
        statusLine->showNotice(QString(), {});
}

}  // namespace varnex
