#pragma once

#include "shell/FileDialog.h"

#include <optional>

class QWidget;

namespace varnex {

// The open dialog that picks a database: titled "Select database", listing Access databases
// (.mdb first, then .accdb, then all files), starting in the folder of the current database
// (with none: the application folder, or the home folder of an installed build). The path
// chosen, or nullopt when cancelled.
std::optional<QString> askForDatabasePath(FileDialog& dialog, QWidget* owner);

}  // namespace varnex
