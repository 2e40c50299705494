#include "core/Log.h"

#include "core/Application.h"
#include "core/Clock.h"
#include "core/FileSystem.h"
#include "core/Messages.h"
#include "core/Paths.h"

#include <cstdio>

namespace varnex {
namespace {

constexpr qsizetype kTitleWidth = 18;

QString& configuredFolder()
{
    static QString folder;
    return folder;
}

LogFailureHandler& failureSlot()
{
    static LogFailureHandler handler;
    return handler;
}

void reportFailure(const Error& failure)
{
    if (const LogFailureHandler& handler = failureSlot()) {
        handler(failure);
        return;
    }
    const QByteArray line = (appTitle() + QStringLiteral(": ") + failure.description + QLatin1Char('\n')).toLocal8Bit();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
}

// The configured folder, made where missing; the application folder when it cannot be.
QString folderToWriteIn()
{
    const QString configured = configuredFolder();
    const QString folder = withTrailingSlash(configured.isEmpty() ? appFolder() : configured);
    if (dirExists(folder))
        return folder;
    if (Status made = makePath(folder); !made) {
        reportFailure(made.error());
        return withTrailingSlash(appFolder());
    }
    return folder;
}

QString logLine(const QDateTime& now, const QString& title, const QString& message)
{
    return now.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("  ") + title.rightJustified(kTitleWidth, QLatin1Char(' '))
           + QStringLiteral(": ") + message;
}

}  // namespace

LogFailureHandler setLogFailureHandler(LogFailureHandler handler)
{
    return std::exchange(failureSlot(), std::move(handler));
}

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
            reportFailure(written.error());
        return;
    }
    if (show)
        showMessage(message, MessageStyle::Critical, title);
}

}  // namespace varnex
