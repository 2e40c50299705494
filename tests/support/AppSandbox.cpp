#include "AppSandbox.h"

#include "app/GlobalSettings.h"
#include "platform/AppInfo.h"
#include "platform/Clock.h"
#include "platform/Forms.h"
#include "platform/SingleInstance.h"
#include "platform/data/Connection.h"

#include <QFile>

namespace varnex::test {
namespace {

void resetGlobals()
{
    GlobalSettings& g = Globals();
    if (g.gConn && g.gConn->State() != 0)
        (void)g.gConn->Close();
    g = GlobalSettings{};
}

}  // namespace

AppSandbox::AppSandbox(QDateTime now) : now_(std::move(now))
{
    resetGlobals();
    SetAppPathForTesting(dir_.path());
    SetClockForTesting([this] { return now_; });
    previousEnd_ = SetEndProcessHandler([this] { ++ends_; });
    // Start-up in a test must not meet a real Varnex, nor another test program.
    ReleaseInstanceGuard();
    SetInstanceGuardFolderForTesting(dir_.path());
}

AppSandbox::~AppSandbox()
{
    SetEndProcessHandler(std::move(previousEnd_));
    SetClockForTesting({});
    SetAppPathForTesting({});
    SetAppTitle(QStringLiteral("Varnex"));
    ReleaseInstanceGuard();
    SetInstanceGuardFolderForTesting({});
    resetGlobals();
}

void AppSandbox::writeSetupIni(const QByteArray& bytes) const
{
    QFile f(dir_.file(QStringLiteral("Setup.ini")));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QByteArray AppSandbox::readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString AppSandbox::logFile(const QString& folder) const
{
    const QString base = folder.isEmpty() ? dir_.path() : folder;
    return base + (base.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/"))
           + now_.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".log");
}

}  // namespace varnex::test
