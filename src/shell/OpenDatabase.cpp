#include "shell/OpenDatabase.h"

#include "app/DatabaseChoice.h"
#include "app/LoadSettings.h"
#include "shell/DatabaseDialog.h"
#include "shell/MainWindow.h"

namespace varnex {

void reloadDatabase(MainWindow& main)
{
    if (loadSettings())
        main.refillTableList();
}

void openDatabaseFile(MainWindow& main, const QString& path)
{
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
