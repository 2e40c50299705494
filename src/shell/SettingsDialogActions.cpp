// What the settings window does when it loads, when it is used and when it
// closes.

#include "shell/SettingsDialog.h"

#include "app/AppSettings.h"
#include "app/StoreSettings.h"
#include "core/Application.h"
#include "core/FileSystem.h"
#include "core/Messages.h"
#include "core/Paths.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>

namespace varnex {

namespace {

QString startingFolderFor(const QString& dataPath)
{
    if (dataPath.isEmpty())
        return appFolder();
    // A folder part too long to search leaves the choice of folder to the dialog.
    Result<QString> folder = folderPart(dataPath);
    return folder.ok() ? std::move(folder).value() : QString();
}

// The existence test takes a listing pattern; a typed name holding wildcards
// must not pass because some other file matches it.
bool chosenFileExists(const QString& name)
{
    return fileExists(name, attr::Normal) && QFileInfo::exists(name);
}

}  // namespace

void SettingsDialog::loadFromSettings()
{
    const AppSettings& g = appSettings();
    // Ticking the box is a change and stores the option once; leaving it
    // unticked stores nothing.
    includeHeaderBox->setChecked(g.includeHeader);
    dataPathEdit->setText(g.dataPath);
    userEdit->setText(g.user);
    passwordEdit->setText(g.password);
}

void SettingsDialog::storeIncludeHeader()
{
    AppSettings& g = appSettings();
    const bool ticked = includeHeaderBox->checkState() == Qt::Checked;
    g.includeHeader = ticked;
    storeSettings({{QStringLiteral("Export"), QStringLiteral("IncHeader"),
                    ticked ? QStringLiteral("True") : QStringLiteral("False")}});
}

void SettingsDialog::browseForDatabase()
{
    AppSettings& g = appSettings();
    fileDialog.initialFolder = startingFolderFor(g.dataPath);
    fileDialog.title = QStringLiteral("Select database");
    fileDialog.filter = QStringLiteral("Access Database MDB |*.mdb");

    if (!fileDialog.showSave(this).ok())
        return;  // cancelled, or the dialog could not be shown: nothing changes

    const QString chosen = fileDialog.fileName;
    if (!chosenFileExists(chosen)) {
        showMessage(chosen + QStringLiteral(" - does not exist!"), MessageStyle::Critical);
        return;
    }
    g.dataPath = chosen;
    storeSettings({{QStringLiteral("DataConnection"), QStringLiteral("Path"), chosen}});
    dataPathEdit->setText(chosen);
}

void SettingsDialog::storeCredentials()
{
    AppSettings& g = appSettings();
    g.user = userEdit->text();
    g.password = passwordEdit->text();
    storeSettings({{QStringLiteral("DataConnection"), QStringLiteral("User"), g.user},
                   {QStringLiteral("DataConnection"), QStringLiteral("Password"), g.password}});
}

}  // namespace varnex
