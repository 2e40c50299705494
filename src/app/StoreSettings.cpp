#include "app/StoreSettings.h"

#include "app/AppSettings.h"
#include "core/Messages.h"
#include "core/ProfileString.h"

namespace varnex {

bool storeSettings(std::initializer_list<SettingEntry> entries)
{
    const QString file = appSettings().iniFile;
    bool allWritten = true;
    for (const SettingEntry& entry : entries)
        allWritten = writeProfileString(entry.section, entry.key, entry.value, file) && allWritten;
    if (!allWritten)
        showMessage(QStringLiteral("Could not save the settings to '") + file + QStringLiteral("'."),
               MessageStyle::Critical);
    return allWritten;
}

}  // namespace varnex
