#include "app/UserState.h"

#include "core/AppFolders.h"
#include "core/FileReplacement.h"
#include "core/Log.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace varnex {
namespace {

const QString kLogTitle = QStringLiteral("UserState");
constexpr unsigned kPrivateFile = 0600;

struct LoadedState {
    QString file;  // where it was read from; empty before the first read
    UserState state;
    bool saveFailureLogged = false;
};

LoadedState& loaded()
{
    static LoadedState instance;
    return instance;
}

QString text(const QJsonObject& object, const char* key)
{
    return object.value(QLatin1String(key)).toString();
}

// Only what has the expected form is taken; anything else in the file is left out.
UserState fromJson(const QJsonObject& object)
{
    UserState state;
    for (const QJsonValue& file : object.value(QLatin1String("recentFiles")).toArray()) {
        if (file.isString() && !file.toString().isEmpty() && state.recentFiles.size() < kMostRecentFiles &&
            !state.recentFiles.contains(file.toString()))
            state.recentFiles << file.toString();
    }
    state.windowGeometry = QByteArray::fromBase64(text(object, "windowGeometry").toLatin1());
    const QJsonObject tables = object.value(QLatin1String("lastTables")).toObject();
    for (auto entry = tables.begin(); entry != tables.end(); ++entry) {
        if (entry.value().isString() && state.recentFiles.contains(entry.key()))
            state.lastTables.insert(entry.key(), entry.value().toString());
    }
    state.lastOpenFolder = text(object, "lastOpenFolder");
    state.lastExportFolder = text(object, "lastExportFolder");
    state.passwordDatabase = text(object, "passwordDatabase");
    return state;
}

QJsonObject toJson(const UserState& state)
{
    QJsonObject tables;
    for (auto entry = state.lastTables.begin(); entry != state.lastTables.end(); ++entry)
        tables.insert(entry.key(), entry.value());
    QJsonObject object;
    object.insert(QStringLiteral("recentFiles"), QJsonArray::fromStringList(state.recentFiles));
    object.insert(QStringLiteral("windowGeometry"), QString::fromLatin1(state.windowGeometry.toBase64()));
    object.insert(QStringLiteral("lastTables"), tables);
    object.insert(QStringLiteral("lastOpenFolder"), state.lastOpenFolder);
    object.insert(QStringLiteral("lastExportFolder"), state.lastExportFolder);
    object.insert(QStringLiteral("passwordDatabase"), state.passwordDatabase);
    return object;
}

UserState readState(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        writeLog(kLogTitle, QStringLiteral("Could not read '%1' (%2); it is ignored").arg(path, file.errorString()), false);
        return {};
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        const QString cause = error.error != QJsonParseError::NoError ? error.errorString() : QStringLiteral("no object");
        writeLog(kLogTitle, QStringLiteral("'%1' is not a state file (%2); it is ignored").arg(path, cause), false);
        return {};
    }
    return fromJson(document.object());
}

// The tables of files no longer recent are forgotten: the state stays small.
void keepTablesOfRecentFiles(UserState& state)
{
    for (auto entry = state.lastTables.begin(); entry != state.lastTables.end();) {
        if (state.recentFiles.contains(entry.key()))
            ++entry;
        else
            entry = state.lastTables.erase(entry);
    }
}

}  // namespace

QString userStateFile()
{
    return stateFolder() + QStringLiteral("/State.json");
}

UserState& userState()
{
    LoadedState& current = loaded();
    const QString file = userStateFile();
    if (current.file != file) {
        current.state = readState(file);
        current.file = file;
    }
    return current.state;
}

bool saveUserState()
{
    UserState& state = userState();
    keepTablesOfRecentFiles(state);
    LoadedState& current = loaded();
    if (folderLayout() == FolderLayout::UserFolders)
        (void)makePrivateFolders(stateFolder());  // when that fails, so does the write, which says so
    const QByteArray bytes = QJsonDocument(toJson(state)).toJson(QJsonDocument::Indented);
    if (replaceFileContents(current.file, bytes, kPrivateFile))
        return true;
    if (!current.saveFailureLogged)
        writeLog(kLogTitle, QStringLiteral("Could not save '%1'").arg(current.file), false);
    current.saveFailureLogged = true;
    return false;
}

void rememberRecentFile(const QString& path)
{
    UserState& state = userState();
    state.recentFiles.removeAll(path);
    state.recentFiles.prepend(path);
    while (state.recentFiles.size() > kMostRecentFiles)
        state.recentFiles.removeLast();
    saveUserState();
}

void forgetRecentFile(const QString& path)
{
    userState().recentFiles.removeAll(path);
    saveUserState();
}

void clearRecentFiles()
{
    userState().recentFiles.clear();
    saveUserState();
}

void rememberLastTable(const QString& database, const QString& table)
{
    UserState& state = userState();
    if (state.lastTables.value(database) == table || !state.recentFiles.contains(database))
        return;
    state.lastTables.insert(database, table);
    saveUserState();
}

QString lastTableOf(const QString& database)
{
    return userState().lastTables.value(database);
}

}  // namespace varnex
