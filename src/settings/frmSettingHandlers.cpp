// What the settings window does when it loads, when it is used and when it
// closes.

#include "settings/frmSetting.h"

#include "app/GlobalSettings.h"
#include "app/PathHelpers.h"
#include "platform/AppInfo.h"
#include "platform/MsgBox.h"
#include "settings/StoreSettings.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>

namespace varnex {

namespace {

constexpr int16_t True = -1;
constexpr int16_t False = 0;
constexpr int NormalFiles = 0;

QString StartingFolderFor(const QString& dataPath)
{
    if (dataPath.isEmpty())
        return AppPath();
    // A folder part too long to search leaves the choice of folder to the dialog.
    Result<QString> folder = GetPathPart(dataPath);
    return folder.ok() ? std::move(folder).value() : QString();
}

// The existence test takes a listing pattern; a typed name holding wildcards
// must not pass because some other file matches it.
bool ChosenFileExists(const QString& name)
{
    return FileExists(name, NormalFiles) && QFileInfo::exists(name);
}

}  // namespace

void frmSetting::Form_Load()
{
    const GlobalSettings& g = Globals();
    // Ticking the box is a change and stores the option once; leaving it
    // unticked stores nothing.
    chkHeader->setChecked(g.gIncHeader != 0);
    txtDataPath->setText(g.gDataPath);
    txtUser->setText(g.gUser);
    txtPassword->setText(g.gPassword);
}

void frmSetting::chkHeader_Click()
{
    GlobalSettings& g = Globals();
    const bool ticked = chkHeader->checkState() == Qt::Checked;
    g.gIncHeader = ticked ? True : False;
    StoreSettings({{QStringLiteral("Export"), QStringLiteral("IncHeader"),
                    ticked ? QStringLiteral("True") : QStringLiteral("False")}});
}

void frmSetting::cmdDataPath_Click()
{
    GlobalSettings& g = Globals();
    CD.InitDir = StartingFolderFor(g.gDataPath);
    CD.DialogTitle = QStringLiteral("Select database");
    CD.Filter = QStringLiteral("Access Database MDB |*.mdb");
    CD.CancelError = true;

    if (!CD.ShowSave(this).ok())
        return;  // cancelled, or the dialog could not be shown: nothing changes

    const QString chosen = CD.FileName;
    if (!ChosenFileExists(chosen)) {
        MsgBox(chosen + QStringLiteral(" - does not exist!"), msgbox::vbCritical);
        return;
    }
    g.gDataPath = chosen;
    StoreSettings({{QStringLiteral("DataConnection"), QStringLiteral("Path"), chosen}});
    txtDataPath->setText(chosen);
}

void frmSetting::Form_Unload()
{
    GlobalSettings& g = Globals();
    g.gUser = txtUser->text();
    g.gPassword = txtPassword->text();
    StoreSettings({{QStringLiteral("DataConnection"), QStringLiteral("User"), g.gUser},
                   {QStringLiteral("DataConnection"), QStringLiteral("Password"), g.gPassword}});
}

}  // namespace varnex
