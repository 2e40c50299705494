#include "shell/DatabaseDialog.h"

#include "app/AppSettings.h"
#include "core/Paths.h"
#include "shell/StartingFolders.h"

namespace varnex {
namespace {

QString startingFolderFor(const QString& dataPath)
{
    if (dataPath.isEmpty())
        return startingFolder(FolderUse::OpenDatabase);
    return folderPart(dataPath);
}

}  // namespace

std::optional<QString> askForDatabasePath(FileDialog& dialog, QWidget* owner)
{
    dialog.initialFolder = startingFolderFor(appSettings().dataPath);
    dialog.title = QStringLiteral("Select database");
    dialog.filter = QStringLiteral("Access databases|*.mdb *.accdb|Access Database MDB |*.mdb|Access Database ACCDB "
                                   "|*.accdb|All Files |*");
    if (!dialog.showOpen(owner).ok())
        return std::nullopt;  // cancelled, or the dialog could not be shown
    rememberFolderOf(FolderUse::OpenDatabase, dialog.fileName);
    return dialog.fileName;
}

}  // namespace varnex
