#include "shell/MainMenu.h"

#include "shell/AboutBox.h"
#include "shell/ExportAllCommand.h"
#include "shell/ExportCommand.h"
#include "shell/MainWindow.h"
#include "shell/OpenDatabase.h"
#include "shell/RecentFilesMenu.h"
#include "shell/SettingsCommand.h"
#include "shell/SqliteExportCommand.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include <functional>

namespace varnex {
namespace {

QAction* addCommand(QMenu* menu, const char* name, const QString& text, const QKeySequence& keys,
                    std::function<void()> command)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(keys);
    // Window-wide: the table list keeps the focus after a choice and would take the keys for itself.
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, menu, std::move(command));
    return action;
}

QMenu* addMenu(MainWindow& window, const char* name, const QString& title)
{
    QMenu* menu = window.menuBar->addMenu(title);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

// The current cell's column, sorted; nothing without a current cell.
void sortCurrentColumn(MainWindow& window, Qt::SortOrder order)
{
    const QModelIndex current = window.grid->currentIndex();
    if (current.isValid() && window.grid->recordset())
        window.sortByColumn(current.column(), order);
}

void createFileMenu(MainWindow& window)
{
    QMenu* file = addMenu(window, "mnuFile", MainWindow::tr("&File"));
    addCommand(file, "actOpen", MainWindow::tr("&Open..."), QKeySequence::Open, [&window] { askForDatabase(window); });
    createRecentFilesMenu(window, *file);
    file->addSeparator();
    addCommand(file, "actExport", MainWindow::tr("&Export..."), QKeySequence(Qt::CTRL | Qt::Key_E),
               [&window] { exportShownTable(window); });
    addCommand(file, "actExportAll", MainWindow::tr("Export &All..."), {}, [&window] { exportAllTables(window); });
    addCommand(file, "actExportSqlite", MainWindow::tr("Export to S&QLite..."), {},
               [&window] { exportDatabaseToSqlite(window); });
    file->addSeparator();
    addCommand(file, "actSettings", MainWindow::tr("Se&ttings..."), {}, [&window] { editSettings(window); });
    file->addSeparator();
    QAction* quit = addCommand(file, "actQuit", MainWindow::tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), [&window] { window.close(); });
    quit->setMenuRole(QAction::QuitRole);
}

void createEditMenu(MainWindow& window)
{
    QMenu* edit = addMenu(window, "mnuEdit", MainWindow::tr("&Edit"));
    addCommand(edit, "actCopy", MainWindow::tr("&Copy"), QKeySequence::Copy, [&window] { window.grid->copySelection(false); });
    addCommand(edit, "actCopyWithHeadings", MainWindow::tr("Copy with &Headings"),
               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), [&window] { window.grid->copySelection(true); });
    edit->addSeparator();
    addCommand(edit, "actFind", MainWindow::tr("&Find"), QKeySequence::Find, [&window] { window.openFindBar(); });
}

void createViewMenu(MainWindow& window)
{
    QMenu* view = addMenu(window, "mnuView", MainWindow::tr("&View"));
    addCommand(view, "actSortAscending", MainWindow::tr("Sort &Ascending"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
               [&window] { sortCurrentColumn(window, Qt::AscendingOrder); });
    addCommand(view, "actSortDescending", MainWindow::tr("Sort &Descending"), {},
               [&window] { sortCurrentColumn(window, Qt::DescendingOrder); });
    view->addSeparator();
    addCommand(view, "actShowValue", MainWindow::tr("Show &Value"), {},
               [&window] { window.grid->showValue(window.grid->currentIndex()); });
}

void createHelpMenu(MainWindow& window)
{
    QMenu* help = addMenu(window, "mnuHelp", MainWindow::tr("&Help"));
    addCommand(help, "actManual", MainWindow::tr("Varnex &Manual"), QKeySequence::HelpContents,
               [] { openManual(); });
    QAction* about = addCommand(help, "actAbout", MainWindow::tr("&About Varnex"), {}, [&window] { showAboutBox(&window); });
    about->setMenuRole(QAction::AboutRole);
}

}  // namespace

void createMainMenu(MainWindow& window)
{
    createFileMenu(window);
    createEditMenu(window);
    createViewMenu(window);
    createHelpMenu(window);
}

}  // namespace varnex
