#pragma once
// Files and folders: an existence test by listing, making folders, deleting files and
// appending log lines.

#include "core/Error.h"

#include <QByteArray>
#include <QFlags>
#include <QString>
#include <QStringView>

class QFile;

namespace varnex {

// Entries a lookup takes besides ordinary files (also read-only ones); none: ordinary files only.
enum class EntryKind {
    Hidden = 1 << 0,   // names beginning with "."
    System = 1 << 1,   // sockets, devices, pipes
    Folders = 1 << 2,  // folders
};
Q_DECLARE_FLAGS(EntryKinds, EntryKind)
Q_DECLARE_OPERATORS_FOR_FLAGS(EntryKinds)

// The first name matching pattern ("*" and "?" wildcards in the last part), or "" when
// none does or the folder cannot be listed. A pattern ending in "/" lists the folder's
// own entries ("." for the folder itself with EntryKind::Folders).
QString firstMatch(const QString& pattern, EntryKinds kinds = {});

// True where path names an entry of one of kinds; every character of path is taken as it is
// ("*" and "?" too). A path ending in "/" names a folder.
bool fileExists(const QString& path, EntryKinds kinds = {});

Status makeDir(const QString& path);     // PathFileAccess when it exists, PathNotFound without its parent
Status removeFile(const QString& path);  // deletes one file; FileNotFound when there is none

// Makes every missing folder along path, as mkdir -p does (core/ByteText.h: its bytes as given).
// A failure describes itself: "Could not create the folder 'PATH': <cause>".
Status makeFolderPath(const QString& path);

// Opens file on the file of that name (core/ByteText.h: its bytes as given) for reading; false
// with errno set where it cannot be opened.
bool openForReading(QFile& file, const QString& name);

// The name at the end of a chain of symbolic links (which may not exist yet), its bytes as given.
QByteArray followLinks(QByteArray name);

// True where both names reach the same file (also through a link).
bool sameFile(const QString& one, const QString& other);

// Appends one line (text, CR, LF) in the locale's code set, creating the file.
Status appendLine(const QString& path, QStringView text);

}  // namespace varnex
