#pragma once
// Where the file dialogs start. A build run from its own folder starts them in the application
// folder, as it always has. An installed build, whose folder is no place for a user's files,
// starts them in the folder last used for the same purpose, else in the user's documents folder
// (XDG_DOCUMENTS_DIR of user-dirs.dirs, as xdg-user-dir reads it), else in the home folder.

#include <QString>

namespace varnex {

enum class FolderUse { OpenDatabase, Export };

QString startingFolder(FolderUse use);
// Keeps the folder of a file chosen for the use, for the next dialog of an installed build.
void rememberFolderOf(FolderUse use, const QString& file);

}  // namespace varnex
