#include "app/LoadSettings.h"

#include "app/AppSettings.h"
#include "app/SettingsFile.h"
#include "core/Application.h"
#include "core/FileSystem.h"
#include "core/Log.h"
#include "core/Messages.h"
#include "core/Paths.h"
#include "core/TextToBool.h"
#include "data/Connection.h"

namespace varnex {
namespace {

const QString kTitle = QStringLiteral("Init Globals");
const QString kFallbackProvider = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0");

QString ini(const QString& section, const QString& key, const QString& defaultValue)
{
    return readSetting(appSettings().iniFile, section, key, defaultValue);
}

void closeAndRelease(std::shared_ptr<Connection>& connection)
{
    if (!connection)
        return;
    if (connection->isOpen())
        (void)connection->close();
    connection.reset();
}

// Reads the data path; an empty path is logged, a missing file is reported and forgotten.
void readDataPath(AppSettings& g)
{
    g.dataPath = ini(QStringLiteral("DataConnection"), QStringLiteral("Path"), {});
    if (g.dataPath.isEmpty()) {
        writeLog(kTitle, QStringLiteral("Data Connection Path not specifed.  Aborting"), true);
    } else if (!fileExists(g.dataPath, attr::Normal)) {
        showMessage(QStringLiteral("Could not find Rilk.mdb. Path = '") + g.dataPath + QStringLiteral("'."),
               MessageStyle::Critical);
        g.dataPath.clear();
    }
}

// Opens with the configured provider string, then once more with the plain 4.0 provider.
Status openConnection(Connection& connection, const AppSettings& g)
{
    if (connection.open(g.dataPath, g.user, g.password))
        return {};
    connection.setConnectionString(kFallbackProvider);
    return connection.open(g.dataPath, g.user, g.password);
}

Status initialise(AppSettings& g)
{
    QString logDir = ini(QStringLiteral("General"), QStringLiteral("LogDir"), {});
    if (logDir.isEmpty())
        logDir = withTrailingSlash(appFolder()) + QStringLiteral("Log/");
    setLogFolder(logDir);

    readDataPath(g);

    const Result<bool> incHeader = textToBool(ini(QStringLiteral("Export"), QStringLiteral("IncHeader"), QStringLiteral("True")));
    if (!incHeader)
        return incHeader.error();
    g.includeHeader = *incHeader;

    closeAndRelease(g.connection);
    g.user = ini(QStringLiteral("DataConnection"), QStringLiteral("User"), QStringLiteral("Admin"));
    g.password = ini(QStringLiteral("DataConnection"), QStringLiteral("Password"), {});
    if (g.dataPath.isEmpty())
        return {};

    g.connection = std::make_shared<Connection>();
    g.connection->setConnectionString(
        ini(QStringLiteral("DataConnection"), QStringLiteral("ConnectionString"), QStringLiteral("Provider=Microsoft.Jet.OLEDB.3.51")));
    return openConnection(*g.connection, g);
}

}  // namespace

bool loadSettings()
{
    AppSettings& g = appSettings();
    g.iniFile = appFolder() + QStringLiteral("/Setup.ini");
    if (!fileExists(g.iniFile, attr::Normal)) {
        writeLog(kTitle, g.iniFile + QStringLiteral(" file does not exist.  Aborting"), true);
        return false;
    }
    if (Status done = initialise(g); !done) {
        writeLog(kTitle, done.error().description, true);
        return false;
    }
    return true;
}

}  // namespace varnex
