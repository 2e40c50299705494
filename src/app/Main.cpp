#include "app/Main.h"

#include "app/GlobalSettings.h"
#include "app/InitGlobals.h"
#include "app/WriteLog.h"
#include "platform/AppInfo.h"
#include "platform/Forms.h"
#include "platform/RuntimeError.h"
#include "platform/SingleInstance.h"
#include "platform/data/Connection.h"

#include <QWidget>

namespace varnex {
namespace {

void reportAndExit(const Error& error)
{
    WriteLog(QStringLiteral("Main"), error.description + QLatin1Char(' ') + QString::number(error.number), true);
    ExitApplication(nullptr);
}

// Runs showMainWindow, turning what it throws into the error it stands for.
Status showGuarded(const std::function<void()>& showMainWindow)
{
    try {
        showMainWindow();
    } catch (const RaisedError& raised) {
        return raised.error();
    } catch (const std::bad_alloc&) {
        return RuntimeError(7);
    } catch (const std::exception& e) {
        return Error{5, QString::fromLocal8Bit(e.what())};
    }
    return {};
}

}  // namespace

void Main(const std::function<void()>& showMainWindow)
{
    const Result<bool> previous = CheckPrevInstance();
    if (!previous) {
        reportAndExit(previous.error());
        return;
    }
    if (*previous) {
        EndProcess();
        return;
    }
    if (!InitGlobals()) {
        ExitApplication(nullptr);
        return;
    }
    if (Status shown = showGuarded(showMainWindow); !shown)
        reportAndExit(shown.error());
}

Result<bool> CheckPrevInstance()
{
    if (!PrevInstance())
        return false;
    const QString title = AppTitle();
    SetAppTitle(QStringLiteral("No longer want this app running..."));
    if (Status activated = AppActivate(title); !activated)
        return activated.error();
    return true;
}

void ExitApplication(QWidget* keep)
{
    if (!keep) {
        while (!LoadedForms().isEmpty())
            UnloadForm(LoadedForms().constFirst());
    } else {
        const QString keepName = keep->objectName();
        while (LoadedForms().size() > 1) {
            const QList<QWidget*> forms = LoadedForms();
            UnloadForm(forms[0]->objectName() != keepName ? forms[0] : forms[1]);
        }
    }
    std::shared_ptr<Connection>& connection = Globals().gConn;
    if (connection) {
        if (connection->State() != 0)
            (void)connection->Close();
        connection.reset();
    }
    ReleaseInstanceGuard();
    EndProcess();
}

}  // namespace varnex
