#include "app/ReadIniString.h"

#include "platform/FileSystem.h"
#include "platform/MsgBox.h"
#include "platform/ProfileString.h"

namespace varnex {

QString ReadIniString(const QString& file, const QString& section, const QString& key, const QString& defaultValue)
{
    if (Dir(file, attr::vbNormal).isEmpty()) {
        MsgBox(QStringLiteral("Could not find '") + file + QLatin1Char('\''), msgbox::vbOKOnly);
        return defaultValue;
    }
    return GetPrivateProfileString(section, key, defaultValue, file).trimmed();
}

}  // namespace varnex
