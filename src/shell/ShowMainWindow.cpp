#include "shell/ShowMainWindow.h"

#include "app/AppSettings.h"
#include "core/AppFolders.h"
#include "shell/ExportCommand.h"
#include "shell/MainWindow.h"
#include "shell/OpenDatabase.h"
#include "shell/SettingsCommand.h"
#include "shell/SingleInstance.h"
#include "shell/WindowMemory.h"
#include "shell/Windows.h"

#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace varnex {

Status showMainWindow()
{
    auto* form = new MainWindow;
    registerWindow(form);
    rememberWindow(*form);
    if (Status filled = form->fillTableList(); !filled)
        return filled;
    rememberOpenedDatabase();
    QObject::connect(form->exportButton, &QPushButton::clicked, form, [form] { exportShownTable(*form); });
    QObject::connect(form->settingsButton, &QPushButton::clicked, form, [form] { editSettings(*form); });
    setOpenFileHandler([window = QPointer<MainWindow>(form)](const QString& path) {
        if (window)
            openDatabaseFile(*window, path);
    });
    form->show();
    form->showLastTable();
    // An installed build starts without a database the first time: it asks for one, once the
    // window is up.
    if (folderLayout() == FolderLayout::UserFolders && appSettings().dataPath.isEmpty())
        QTimer::singleShot(0, form, [form] { askForDatabase(*form); });
    return {};
}

}  // namespace varnex
