#include "app/ShowMainWindow.h"

#include "browser/frmMain.h"
#include "export/cmdExport_Click.h"
#include "platform/Error.h"
#include "platform/Forms.h"
#include "settings/cmdSettings_Click.h"

#include <QPushButton>

namespace varnex {

void ShowMainWindow()
{
    auto* form = new frmMain;
    LoadForm(form);
    // A failing load handler goes to the trap of the start-up routine.
    if (Status loaded = form->Form_Load(); !loaded)
        Raise(loaded.error());
    QObject::connect(form->cmdExport, &QPushButton::clicked, form, [form] { cmdExport_Click(*form); });
    QObject::connect(form->cmdSettings, &QPushButton::clicked, form, [form] { cmdSettings_Click(*form); });
    form->show();
}

}  // namespace varnex
