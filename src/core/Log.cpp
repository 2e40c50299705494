#include "core/Log.h"

#include "core/Application.h"
#include "core/Clock.h"
#include "core/FileSystem.h"
#include "core/Messages.h"
#include "core/Paths.h"

namespace varnex {
namespace {

constexpr qsizetype kTitleWidth = 18;

QString& configuredFolder()
{
    static QString folder;
    return folder;
}

QString folderToWriteIn()
{
    const QString configured = configuredFolder();
    QString folder = withTrailingSlash(configured.isEmpty() ? appFolder() : configured);
    if (!dirExists(folder) && !makePath(folder))
        folder = withTrailingSlash(appFolder());
    return folder;
}

QString logLine(const QDateTime& now, const QString& title, const QString& message)
{
    return now.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("  ") + title.rightJustified(kTitleWidth, QLatin1Char(' '))
           + QStringLiteral(": ") + message;
}

}  // namespace

void setLogFolder(const QString& folder)
{
    configuredFolder() = folder;
}

QString logFolder()
{
    return configuredFolder();
}

void writeLog(const QString& title, const QString& message, bool show)
{
    const QDateTime now = currentDateTime();
    const QString file = folderToWriteIn() + now.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".log");
    if (Status written = appendLine(file, logLine(now, title, message)); !written) {
        if (show)
            showMessage(written.error().description, MessageStyle::Plain);
        return;
    }
    if (show)
        showMessage(message, MessageStyle::Critical, title);
}

}  // namespace varnex
