#include "app/SettingsFile.h"

#include "core/FileSystem.h"
#include "core/Messages.h"
#include "core/ProfileString.h"

namespace varnex {

QString readSetting(const QString& file, const QString& section, const QString& key, const QString& defaultValue)
{
    if (!fileExists(file)) {
        showMessage(QStringLiteral("Could not find '") + file + QLatin1Char('\''), MessageStyle::Plain);
        return defaultValue;
    }
    return readProfileString(section, key, defaultValue, file).trimmed();
}

}  // namespace varnex
