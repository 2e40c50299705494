#include "app/DatabaseChoice.h"

#include "app/AppSettings.h"
#include "app/StoreSettings.h"
#include "core/FileSystem.h"
#include "core/Messages.h"
#include "core/Paths.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace varnex {
namespace {

// The existence test takes a listing pattern; a name holding wildcards must not pass because
// some other file matches it.
bool isExistingFile(const QString& name)
{
    return fileExists(name) && QFileInfo::exists(name);
}

// What is wrong with a name that is no existing ordinary file: a folder or a device is there,
// but is no database file. A hidden file or a wildcard pattern counts as missing.
QString refusalOf(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QCoreApplication::translate("DatabaseChoice", "%1 is a folder, not a database file.").arg(path);
    if (info.exists() && !info.isFile())
        return QCoreApplication::translate("DatabaseChoice", "%1 is not a database file (a device, a pipe or a socket).")
            .arg(path);
    return path + QStringLiteral(" - does not exist!");
}

}  // namespace

bool chooseDatabaseFile(const QString& name)
{
    // Setup.ini outlives the folder a relative name was given in.
    const QString path = name.isEmpty() ? name : QFileInfo(name).absoluteFilePath();
    if (!isExistingFile(path)) {
        showMessage(refusalOf(path), MessageStyle::Critical);
        return false;
    }
    appSettings().dataPath = path;
    storeSettings({{QStringLiteral("DataConnection"), QStringLiteral("Path"), path}});
    return true;
}

}  // namespace varnex
