#pragma once
// Files and folders: an existence test by listing, making folders, deleting files and
// appending log lines.

#include "core/Error.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

class QFile;

namespace varnex {

namespace attr {
inline constexpr int Normal = 0;   // ordinary files (also read-only ones)
inline constexpr int Hidden = 2;   // also names beginning with "."
inline constexpr int System = 4;   // also sockets, devices, pipes
inline constexpr int Folders = 16; // also folders
}  // namespace attr

// The first name matching pattern ("*" and "?" wildcards in the last part), or "" when
// none does or the folder cannot be listed. A pattern ending in "/" lists the folder's
// own entries ("." for the folder itself under attr::Folders).
QString firstMatch(const QString& pattern, int attributes = attr::Normal);

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
