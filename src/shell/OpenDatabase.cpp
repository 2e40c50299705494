#include "shell/OpenDatabase.h"

#include "app/AppSettings.h"
#include "app/DatabaseChoice.h"
#include "app/LoadSettings.h"
#include "shell/DatabaseDialog.h"
#include "shell/MainWindow.h"
#include "shell/WindowMemory.h"

#include <QPointer>
#include <QTimer>

namespace varnex {

namespace {
constexpr int kBusyRetryMs = 100;  // how often a file waits for the window's command to end
}  // namespace

void reloadDatabase(MainWindow& main)
{
    const MainWindow::BusyScope busy(main);
    const bool loaded = loadSettings();
    // Also after a failure: the settings name another database now, or none.
    main.followDatabase();
    if (!loaded)
        return;
    // Without a database now (its password was not given), the list names no tables of another.
    if (appSettings().dataPath.isEmpty())
        main.tableList->clear();
    rememberOpenedDatabase();
    main.refillTableList();
}

void openDatabaseFile(MainWindow& main, const QString& path)
{
    // A drop or a hand-over is delivered from the event loop, which a load, the table list's
    // read or an export runs from inside: the database they work on must not change under them.
    if (main.isBusy()) {
        QTimer::singleShot(kBusyRetryMs, &main, [window = QPointer<MainWindow>(&main), path] {
            if (window)
                openDatabaseFile(*window, path);
        });
        return;
    }
    if (chooseDatabaseFile(path))
        reloadDatabase(main);
}

void askForDatabase(MainWindow& main)
{
    FileDialog dialog;
    if (const std::optional<QString> chosen = askForDatabasePath(dialog, &main))
        openDatabaseFile(main, *chosen);
}

}  // namespace varnex
