#include "app/DatabaseChoice.h"

#include "app/AppSettings.h"
#include "app/StoreSettings.h"
#include "core/FileSystem.h"
#include "core/Messages.h"
#include "core/Paths.h"

#include <QFileInfo>

namespace varnex {
namespace {

// The existence test takes a listing pattern; a name holding wildcards must not pass because
// some other file matches it.
bool isExistingFile(const QString& name)
{
    return fileExists(name, attr::Normal) && QFileInfo::exists(name);
}

}  // namespace

bool chooseDatabaseFile(const QString& name)
{
    // Setup.ini outlives the folder a relative name was given in.
    const QString path = name.isEmpty() ? name : QFileInfo(name).absoluteFilePath();
    if (!isExistingFile(path)) {
        showMessage(path + QStringLiteral(" - does not exist!"), MessageStyle::Critical);
        return false;
    }
    appSettings().dataPath = path;
    storeSettings({{QStringLiteral("DataConnection"), QStringLiteral("Path"), path}});
    return true;
}

}  // namespace varnex
