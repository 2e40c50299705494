#include "shell/StartingFolders.h"

#include "app/UserState.h"
#include "core/AppFolders.h"
#include "core/Application.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace varnex {
namespace {

QString& lastFolder(FolderUse use)
{
    UserState& state = userState();
    return use == FolderUse::OpenDatabase ? state.lastOpenFolder : state.lastExportFolder;
}

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

}  // namespace

QString startingFolder(FolderUse use)
{
    if (folderLayout() == FolderLayout::BesideExecutable)
        return appFolder();
    const QString last = lastFolder(use);
    return !last.isEmpty() && QFileInfo(last).isDir() ? last : documentsFolder();
}

void rememberFolderOf(FolderUse use, const QString& file)
{
    if (folderLayout() == FolderLayout::BesideExecutable)
        return;  // its dialogs always start in the application folder
    const QString folder = QFileInfo(file).absolutePath();
    if (folder.isEmpty() || lastFolder(use) == folder)
        return;
    lastFolder(use) = folder;
    saveUserState();
}

}  // namespace varnex
