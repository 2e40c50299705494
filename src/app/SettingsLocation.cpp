#include "app/SettingsLocation.h"

#include "app/AppSettings.h"
#include "app/StoreSettings.h"
#include "core/AppFolders.h"
#include "core/FileSystem.h"
#include "core/Paths.h"

namespace varnex {
namespace {

// The settings a first start of an installed build begins with; the log folder stays unnamed
// so that it follows the user's state folder.
bool writeDefaultSettings()
{
    return storeSettings({{QStringLiteral("General"), QStringLiteral("LogDir"), {}},
                          {QStringLiteral("DataConnection"), QStringLiteral("Path"), {}},
                          {QStringLiteral("DataConnection"), QStringLiteral("User"), QStringLiteral("Admin")},
                          {QStringLiteral("DataConnection"), QStringLiteral("Password"), {}},
                          {QStringLiteral("DataConnection"), QStringLiteral("ConnectionString"),
                           QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0")},
                          {QStringLiteral("Export"), QStringLiteral("IncHeader"), QStringLiteral("True")}});
}

}  // namespace

bool prepareSettingsFile()
{
    AppSettings& g = appSettings();
    const QString folder = settingsFolder();
    g.iniFile = folder + QStringLiteral("/Setup.ini");
    if (fileExists(g.iniFile))
        return true;
    if (folderLayout() == FolderLayout::BesideExecutable)
        return false;
    (void)makePrivateFolders(folder);  // when that fails, so does the write, which says so
    return writeDefaultSettings();
}

}  // namespace varnex
