#pragma once
// Files and folders: an existence test by listing, making folders, deleting files and
// appending log lines.

#include "core/Error.h"

#include <QByteArray>
#include <QString>
#include <QStringView>


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

// Appends one line (text, CR, LF) in the locale's code set, creating the file.
Status appendLine(const QString& path, QStringView text);

}  // namespace varnex
