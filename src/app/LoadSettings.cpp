#include "app/LoadSettings.h"

#include "app/AppSettings.h"
#include "app/DatabasePassword.h"
#include "app/SettingsFile.h"
#include "app/SettingsLocation.h"
#include "core/AppFolders.h"
#include "core/FileSystem.h"
#include "core/Log.h"
#include "core/Messages.h"
#include "core/Paths.h"
#include "core/TextToBool.h"
#include "data/Connection.h"

namespace varnex {
namespace {

const QString kTitle = QStringLiteral("Init Globals");
const QString kJet4Provider = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0");
const QString kAceProvider = QStringLiteral("Provider=Microsoft.ACE.OLEDB.12.0");

QString ini(const QString& section, const QString& key, const QString& defaultValue)
{
    return readSetting(appSettings().iniFile, section, key, defaultValue);
}

// Reads the data path; an empty path is logged (an installed build asks for a database
// instead), a missing file is reported and forgotten.
void readDataPath(AppSettings& g)
{
    g.dataPath = ini(QStringLiteral("DataConnection"), QStringLiteral("Path"), {});
    if (g.dataPath.isEmpty()) {
        if (folderLayout() == FolderLayout::BesideExecutable)
            writeLog(kTitle, QStringLiteral("Data Connection Path not specifed.  Aborting"), true);
    } else if (!fileExists(g.dataPath)) {
        showMessage(QStringLiteral("Could not find Rilk.mdb. Path = '") + g.dataPath + QStringLiteral("'."),
               MessageStyle::Critical);
        g.dataPath.clear();
    }
}

// A failure that says only that the provider could not read the file tells less than one
// about the file itself (a password, a missing or locked file).
constexpr int kAboutTheFile = 2;
int weight(const Error& error)
{
    switch (error.code) {
    case ErrorCode::ProviderNotFound: return 0;
    case ErrorCode::UnrecognizedFormat: return 1;
    default: return kAboutTheFile;
    }
}

// Opens with the configured provider string, then once more with the plain 4.0 provider and,
// when that cannot read the file either, with the ACE provider. When every attempt fails, the
// first of the failures that tell the most is reported.
Status openConnection(Connection& connection, const AppSettings& g, const QString& password)
{
    Status opened = connection.open(g.dataPath, g.user, password);
    if (opened)
        return opened;
    Error reported = opened.error();
    for (const QString& provider : {kJet4Provider, kAceProvider}) {
        if (provider == kAceProvider && weight(opened.error()) == kAboutTheFile)
            break;
        connection.setConnectionString(provider);
        opened = connection.open(g.dataPath, g.user, password);
        if (opened)
            return opened;
        if (weight(opened.error()) > weight(reported))
            reported = opened.error();
    }
    return reported;
}

Status initialise(AppSettings& g)
{
    QString logDir = ini(QStringLiteral("General"), QStringLiteral("LogDir"), {});
    if (logDir.isEmpty()) {
        logDir = defaultLogFolder();
        if (folderLayout() == FolderLayout::UserFolders)
            (void)makePrivateFolders(logDir);  // else the log makes it, or falls back
    }
    setLogFolder(logDir);

    readDataPath(g);

    const Result<bool> incHeader = textToBool(ini(QStringLiteral("Export"), QStringLiteral("IncHeader"), QStringLiteral("True")));
    if (!incHeader)
        return incHeader.error();
    g.includeHeader = *incHeader;

    releaseConnection();
    g.user = ini(QStringLiteral("DataConnection"), QStringLiteral("User"), QStringLiteral("Admin"));
    g.password = ini(QStringLiteral("DataConnection"), QStringLiteral("Password"), {});
    if (g.dataPath.isEmpty())
        return {};

    g.connection = std::make_shared<Connection>();
    const QString connectionString =
        ini(QStringLiteral("DataConnection"), QStringLiteral("ConnectionString"), QStringLiteral("Provider=Microsoft.Jet.OLEDB.3.51"));
    const std::optional<Status> opened = openAskingForPassword(g, [&g, &connectionString](const QString& password) {
        g.connection->setConnectionString(connectionString);
        return openConnection(*g.connection, g, password);
    });
    if (opened)
        return *opened;
    // The user would not give the password: the window goes on without a database.
    releaseConnection();
    g.dataPath.clear();
    return {};
}

}  // namespace

bool loadSettings()
{
    // The desktop program tells its user, in a plain box, what keeps the log from its folder or file.
    setLogFailureHandler([](const Error& failure) { showMessage(failure.description, MessageStyle::Plain); });
    AppSettings& g = appSettings();
    if (!prepareSettingsFile()) {
        if (folderLayout() == FolderLayout::UserFolders && logFolder().isEmpty())
            setLogFolder(defaultLogFolder());  // not beside an installed executable
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
