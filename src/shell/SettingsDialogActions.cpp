// What the settings window does when it loads, when it is used and when it
// closes.

#include "shell/SettingsDialog.h"

#include "app/AppSettings.h"
#include "app/DatabaseChoice.h"
#include "app/DatabasePassword.h"
#include "app/StoreSettings.h"
#include "shell/DatabaseDialog.h"

#include <QCheckBox>
#include <QLineEdit>

#include <utility>

namespace varnex {

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
    const std::optional<QString> chosen = askForDatabasePath(fileDialog, this);
    if (chosen && chooseDatabaseFile(*chosen))
        dataPathEdit->setText(*chosen);
}

void SettingsDialog::storeCredentials()
{
    AppSettings& g = appSettings();
    g.user = userEdit->text();
    // A password typed here is the one of the database named here.
    const bool newPassword = std::exchange(g.password, passwordEdit->text()) != g.password;
    if (storeSettings({{QStringLiteral("DataConnection"), QStringLiteral("User"), g.user},
                       {QStringLiteral("DataConnection"), QStringLiteral("Password"), g.password}}) &&
        newPassword)
        notePasswordStoredFor(g.dataPath);
}

}  // namespace varnex
