#include "shell/Startup.h"

#include "app/AppSettings.h"
#include "app/DatabaseChoice.h"
#include "app/LoadSettings.h"
#include "app/SettingsLocation.h"
#include "core/Application.h"
#include "core/FileSystem.h"
#include "core/Log.h"
#include "core/Paths.h"
#include "shell/SingleInstance.h"
#include "shell/Windows.h"

#include <QFileInfo>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace varnex {
namespace {

constexpr int kStartFailed = 1;

// The exit status of a shutdown under way. A window's unload handler may end the program from
// within it (the main window's does); a failure's status stands then.
int& statusUnderWay()
{
    static int status = 0;
    return status;
}

void reportAndExit(const Error& error)
{
    writeLog(QStringLiteral("Main"), error.description + QLatin1Char(' ') + QString::number(error.number()), true);
    exitApplication(nullptr, kStartFailed);
}

// Runs showWindow; memory running out while the window is built is a start-up failure too.
Status showGuarded(const std::function<Status()>& showWindow)
{
    try {
        return showWindow();
    } catch (const std::bad_alloc&) {
        return makeError(ErrorCode::OutOfMemory);
    }
}

}  // namespace

void startApplication(const std::function<Status()>& showWindow, const QString& fileToOpen)
{
    const Result<bool> previous = handOverToRunningInstance(fileToOpen);
    if (!previous) {
        reportAndExit(previous.error());
        return;
    }
    if (*previous) {
        endProcess();
        return;
    }
    // The file becomes the stored database before the settings are read, as if chosen in the
    // settings window (a refused name leaves the stored one). Without a Setup.ini yet, a build
    // run from its folder starts one with that path alone.
    if (!fileToOpen.isEmpty()) {
        (void)prepareSettingsFile();
        (void)chooseDatabaseFile(fileToOpen);
    }
    if (!loadSettings()) {
        // A file named at start that does not open has been reported; the window still comes
        // up, without a database, so that another can be chosen.
        if (fileToOpen.isEmpty() || !fileExists(appSettings().iniFile)) {
            exitApplication(nullptr, kStartFailed);
            return;
        }
        releaseConnection();
        appSettings().dataPath.clear();
    }
    if (Status shown = showGuarded(showWindow); !shown)
        reportAndExit(shown.error());
}

Result<bool> handOverToRunningInstance(const QString& fileToOpen)
{
    if (!anotherInstanceRuns())
        return false;
    const QString title = appTitle();
    setAppTitle(QStringLiteral("No longer want this app running..."));
    // The running instance has a working folder of its own.
    const QString absolute = fileToOpen.isEmpty() ? fileToOpen : QFileInfo(fileToOpen).absoluteFilePath();
    if (Status activated = activateInstance(title, absolute); !activated)
        return activated.error();
    return true;
}

void exitApplication(QWidget* keep, int exitStatus)
{
    const int outer = std::exchange(statusUnderWay(), std::max(statusUnderWay(), exitStatus));
    if (!keep) {
        while (!loadedWindows().isEmpty())
            unloadWindow(loadedWindows().constFirst());
    } else {
        const QString keepName = keep->objectName();
        while (loadedWindows().size() > 1) {
            const QList<QWidget*> forms = loadedWindows();
            unloadWindow(forms[0]->objectName() != keepName ? forms[0] : forms[1]);
        }
    }
    releaseConnection();
    releaseInstanceGuard();
    endProcess(statusUnderWay());
    statusUnderWay() = outer;  // reached only where tests record the end
}

}  // namespace varnex
