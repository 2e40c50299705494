#pragma once

#include "shell/FileDialog.h"

#include <optional>

class QWidget;

namespace varnex {

// The open dialog that picks a database: titled "Select database", listing Access databases
// (both kinds first, then .mdb, .accdb and all files), starting in the folder of the current
// database (with none: see shell/StartingFolders.h). The path chosen, or nullopt when cancelled.
std::optional<QString> askForDatabasePath(FileDialog& dialog, QWidget* owner);

}  // namespace varnex
