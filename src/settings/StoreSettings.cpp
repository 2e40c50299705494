#include "settings/StoreSettings.h"

#include "app/GlobalSettings.h"
#include "platform/MsgBox.h"
#include "platform/ProfileString.h"

namespace varnex {

bool StoreSettings(std::initializer_list<IniEntry> entries)
{
    const QString file = Globals().gIniFile;
    bool allWritten = true;
    for (const IniEntry& entry : entries)
        allWritten = WritePrivateProfileString(entry.section, entry.key, entry.value, file) && allWritten;
    if (!allWritten)
        MsgBox(QStringLiteral("Could not save the settings to '") + file + QStringLiteral("'."),
               msgbox::vbCritical);
    return allWritten;
}

}  // namespace varnex
