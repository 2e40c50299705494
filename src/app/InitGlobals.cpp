#include "app/InitGlobals.h"

#include "app/GlobalSettings.h"
#include "app/PathHelpers.h"
#include "app/ReadIniString.h"
#include "app/WriteLog.h"
#include "platform/AppInfo.h"
#include "platform/Convert.h"
#include "platform/MsgBox.h"
#include "platform/data/Connection.h"

namespace varnex {
namespace {

const QString kTitle = QStringLiteral("Init Globals");
const QString kFallbackProvider = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0");
constexpr int kOpenOptions = -1;

QString ini(const QString& section, const QString& key, const QString& defaultValue)
{
    return ReadIniString(Globals().gIniFile, section, key, defaultValue);
}

void closeAndRelease(std::shared_ptr<Connection>& connection)
{
    if (!connection)
        return;
    if (connection->State() != 0)
        (void)connection->Close();
    connection.reset();
}

// Reads the data path; an empty path is logged, a missing file is reported and forgotten.
void readDataPath(GlobalSettings& g)
{
    g.gDataPath = ini(QStringLiteral("DataConnection"), QStringLiteral("Path"), {});
    if (g.gDataPath.isEmpty()) {
        WriteLog(kTitle, QStringLiteral("Data Connection Path not specifed.  Aborting"), true);
    } else if (!FileExists(g.gDataPath, 0)) {
        MsgBox(QStringLiteral("Could not find Rilk.mdb. Path = '") + g.gDataPath + QStringLiteral("'."),
               msgbox::vbCritical);
        g.gDataPath.clear();
    }
}

// Opens with the configured provider string, then once more with the plain 4.0 provider.
Status openConnection(Connection& connection, const GlobalSettings& g)
{
    if (connection.Open(g.gDataPath, g.gUser, g.gPassword, kOpenOptions))
        return {};
    connection.setConnectionString(kFallbackProvider);
    return connection.Open(g.gDataPath, g.gUser, g.gPassword, kOpenOptions);
}

Status initialise(GlobalSettings& g)
{
    g.gLogDir = ini(QStringLiteral("General"), QStringLiteral("LogDir"), {});
    if (g.gLogDir.isEmpty())
        g.gLogDir = AddBackslash(AppPath()) + QStringLiteral("Log/");

    readDataPath(g);

    const Result<bool> incHeader = CBool(ini(QStringLiteral("Export"), QStringLiteral("IncHeader"), QStringLiteral("True")));
    if (!incHeader)
        return incHeader.error();
    g.gIncHeader = *incHeader ? vbTrue : vbFalse;

    closeAndRelease(g.gConn);
    g.gUser = ini(QStringLiteral("DataConnection"), QStringLiteral("User"), QStringLiteral("Admin"));
    g.gPassword = ini(QStringLiteral("DataConnection"), QStringLiteral("Password"), {});
    if (g.gDataPath.isEmpty())
        return {};

    g.gConn = std::make_shared<Connection>();
    g.gConn->setConnectionString(
        ini(QStringLiteral("DataConnection"), QStringLiteral("ConnectionString"), QStringLiteral("Provider=Microsoft.Jet.OLEDB.3.51")));
    return openConnection(*g.gConn, g);
}

}  // namespace

bool InitGlobals()
{
    GlobalSettings& g = Globals();
    g.gIniFile = AppPath() + QStringLiteral("/Setup.ini");
    if (!FileExists(g.gIniFile, 0)) {
        WriteLog(kTitle, g.gIniFile + QStringLiteral(" file does not exist.  Aborting"), true);
        return false;
    }
    if (Status done = initialise(g); !done) {
        WriteLog(kTitle, done.error().description, true);
        return false;
    }
    return true;
}

}  // namespace varnex
