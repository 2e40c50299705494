#include "app/StoreSettings.h"

#include "app/AppSettings.h"
#include "core/Messages.h"
#include "core/ProfileString.h"

#include <QCoreApplication>

namespace varnex {

bool storeSettings(std::initializer_list<SettingEntry> entries)
{
    const QString file = appSettings().iniFile;
    bool allWritten = true;
    for (const SettingEntry& entry : entries)
        allWritten = writeProfileString(entry.section, entry.key, entry.value, file) && allWritten;
    if (!allWritten)
        showMessage(QCoreApplication::translate("StoreSettings", "Could not save the settings to '%1'.").arg(file),
                    MessageStyle::Critical);
    return allWritten;
}

}  // namespace varnex
