#pragma once
// What the desktop program remembers of its use between runs, apart from the settings: the
// databases opened last, the window's place, the table last shown of each database, the folders
// the file dialogs were last used in, and the database Setup.ini's password was stored for.
// It lives in State.json in the state folder (core/AppFolders.h), never in Setup.ini. A state
// file that cannot be read, or is no state file, is ignored with a log line and replaced at the
// next change; each change is written at once, under a temporary name renamed over the file.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

namespace varnex {

inline constexpr int kMostRecentFiles = 10;

struct UserState {
    QStringList recentFiles;            // newest first, at most kMostRecentFiles
    QByteArray windowGeometry;          // as QWidget::saveGeometry gives it; empty while none is known
    QHash<QString, QString> lastTables;  // database path -> the table last shown of it
    QString lastOpenFolder;             // where a database was last chosen in an open dialog
    QString lastExportFolder;           // where an export was last saved
    QString passwordDatabase;           // the database Setup.ini's Password was stored for; empty: its Path
};

// The state, read from its file at first use, and again when the file's place has changed.
UserState& userState();
QString userStateFile();
// Writes the state. A failure is logged, once a run, and changes nothing else.
bool saveUserState();

// Puts path at the top of the recent files (once); the table remembered of a file that drops off
// the end is forgotten with it.
void rememberRecentFile(const QString& path);
void forgetRecentFile(const QString& path);
void clearRecentFiles();

void rememberLastTable(const QString& database, const QString& table);
QString lastTableOf(const QString& database);

}  // namespace varnex
