#include "shell/SettingsCommand.h"

#include "shell/MainWindow.h"
#include "shell/OpenDatabase.h"
#include "shell/SettingsDialog.h"

#include <QPointer>

namespace varnex {

void editSettings(MainWindow& main)
{
    // Each opening starts from a fresh window, as designed.
    QPointer<SettingsDialog> window = new SettingsDialog(&main);
    window->showModal();
    delete window.data();

    reloadDatabase(main);
}

}  // namespace varnex
