#include "AppSandbox.h"

#include "app/AppSettings.h"
#include "core/AppFolders.h"
#include "core/Application.h"
#include "core/Clock.h"
#include "core/Log.h"
#include "data/Connection.h"

#include <QFile>

namespace varnex::test {
namespace {

void resetSettings()
{
    AppSettings& settings = appSettings();
    if (settings.connection && settings.connection->isOpen())
        (void)settings.connection->close();
    settings = AppSettings{};
    setLogFolder({});
}

}  // namespace

AppSandbox::AppSandbox(QDateTime now) : now_(std::move(now))
{
    resetSettings();
    setAppFolderForTesting(dir_.path());
    setFolderLayoutForTesting(FolderLayout::BesideExecutable);  // whatever the build decided
    setClockForTesting([this] { return now_; });
}

AppSandbox::~AppSandbox()
{
    setClockForTesting({});
    setAppFolderForTesting({});
    setFolderLayoutForTesting(std::nullopt);
    setAppTitle(QStringLiteral("Varnex"));
    resetSettings();
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
