#include "shell/DatabaseDialog.h"

#include "app/AppSettings.h"
#include "core/AppFolders.h"
#include "core/Application.h"
#include "core/Paths.h"

#include <QDir>

namespace varnex {
namespace {

QString startingFolderFor(const QString& dataPath)
{
    if (dataPath.isEmpty())
        return folderLayout() == FolderLayout::BesideExecutable ? appFolder() : QDir::homePath();
    // A folder part too long to search leaves the choice of folder to the dialog.
    Result<QString> folder = folderPart(dataPath);
    return folder.ok() ? std::move(folder).value() : QString();
}

}  // namespace

std::optional<QString> askForDatabasePath(FileDialog& dialog, QWidget* owner)
{
    dialog.initialFolder = startingFolderFor(appSettings().dataPath);
    dialog.title = QStringLiteral("Select database");
    dialog.filter = QStringLiteral("Access Database MDB |*.mdb|Access Database ACCDB |*.accdb|All Files |*");
    if (!dialog.showOpen(owner).ok())
        return std::nullopt;  // cancelled, or the dialog could not be shown
    return dialog.fileName;
}

}  // namespace varnex
