#pragma once
// Where the program keeps Setup.ini, what it remembers between runs and its logs. A build run
// from its own folder keeps them beside the executable; an installed build keeps them in the
// user's folders ($XDG_CONFIG_HOME/varnex, $XDG_STATE_HOME/varnex and $XDG_STATE_HOME/varnex/Log).
// Which of the two is decided when the program is built (VARNEX_INSTALLED_LAYOUT).

#include <QString>

#include <optional>

namespace varnex {

enum class FolderLayout { BesideExecutable, UserFolders };

FolderLayout folderLayout();
// Tests choose the layout; nullopt restores the one the build decided.
void setFolderLayoutForTesting(std::optional<FolderLayout> layout);

// The folder of Setup.ini, without a trailing "/".
QString settingsFolder();
// The folder of what the desktop program remembers between runs (recent files, the window's
// place), without a trailing "/": beside Setup.ini, or the user's state folder.
QString stateFolder();
// The log folder used when Setup.ini names none, with a trailing "/".
QString defaultLogFolder();

// Makes every missing folder of path, each one readable by its owner only (the XDG base
// folders are private). False when a folder could not be made.
bool makePrivateFolders(const QString& path);

}  // namespace varnex
