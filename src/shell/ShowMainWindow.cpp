#include "shell/ShowMainWindow.h"

#include "shell/ExportCommand.h"
#include "shell/MainWindow.h"
#include "shell/SettingsCommand.h"
#include "shell/Windows.h"

#include <QPushButton>

namespace varnex {

Status showMainWindow()
{
    auto* form = new MainWindow;
    registerWindow(form);
    if (Status filled = form->fillTableList(); !filled)
        return filled;
    QObject::connect(form->exportButton, &QPushButton::clicked, form, [form] { exportShownTable(*form); });
    QObject::connect(form->settingsButton, &QPushButton::clicked, form, [form] { editSettings(*form); });
    form->show();
    return {};
}

}  // namespace varnex
