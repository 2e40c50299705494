#include "shell/Startup.h"

#include "app/AppSettings.h"
#include "app/LoadSettings.h"
#include "core/Application.h"
#include "core/Log.h"
#include "data/Connection.h"
#include "shell/SingleInstance.h"
#include "shell/Windows.h"

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

void startApplication(const std::function<Status()>& showWindow)
{
    const Result<bool> previous = handOverToRunningInstance();
    if (!previous) {
        reportAndExit(previous.error());
        return;
    }
    if (*previous) {
        endProcess();
        return;
    }
    if (!loadSettings()) {
        exitApplication(nullptr, kStartFailed);
        return;
    }
    if (Status shown = showGuarded(showWindow); !shown)
        reportAndExit(shown.error());
}

Result<bool> handOverToRunningInstance()
{
    if (!anotherInstanceRuns())
        return false;
    const QString title = appTitle();
    setAppTitle(QStringLiteral("No longer want this app running..."));
    if (Status activated = activateInstance(title); !activated)
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
    std::shared_ptr<Connection>& connection = appSettings().connection;
    if (connection) {
        if (connection->isOpen())
            (void)connection->close();
        connection.reset();
    }
    releaseInstanceGuard();
    endProcess(statusUnderWay());
    statusUnderWay() = outer;  // reached only where tests record the end
}

}  // namespace varnex
