#include "shell/WindowMemory.h"

#include "app/AppSettings.h"
#include "app/UserState.h"
#include "shell/MainWindow.h"

namespace varnex {

void rememberWindow(MainWindow& window)
{
    window.placeOnScreen(userState().windowGeometry);
    QObject::connect(&window, &MainWindow::closing, &window, [&window] {
        userState().windowGeometry = window.saveGeometry();
        saveUserState();
    });
    QObject::connect(&window, &MainWindow::tableShown, &window,
                     [](const QString& table) { rememberLastTable(appSettings().dataPath, table); });
}

void rememberOpenedDatabase()
{
    const AppSettings& settings = appSettings();
    if (!settings.dataPath.isEmpty() && settings.connection)
        rememberRecentFile(settings.dataPath);
}

}  // namespace varnex
