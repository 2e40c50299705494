#include "settings/cmdSettings_Click.h"

#include "app/InitGlobals.h"
#include "browser/frmMain.h"
#include "settings/frmSetting.h"

#include <QPointer>

namespace varnex {

void cmdSettings_Click(frmMain& main)
{
    // Each opening starts from a fresh window, as designed.
    QPointer<frmSetting> window = new frmSetting(&main);
    window->ShowModal();
    delete window.data();

    if (InitGlobals())
        main.FillTableList();
}

}  // namespace varnex
