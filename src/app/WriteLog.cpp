#include "app/WriteLog.h"

#include "app/GlobalSettings.h"
#include "app/PathHelpers.h"
#include "platform/AppInfo.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/MsgBox.h"

namespace varnex {
namespace {

constexpr qsizetype kTitleWidth = 18;

QString logFolder()
{
    const QString configured = Globals().gLogDir;
    QString folder = AddBackslash(configured.isEmpty() ? AppPath() : configured);
    if (!DirExists(folder) && !MakePath(folder))
        folder = AddBackslash(AppPath());
    return folder;
}

QString logLine(const QDateTime& now, const QString& title, const QString& message)
{
    return now.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("  ") + title.rightJustified(kTitleWidth, QLatin1Char(' '))
           + QStringLiteral(": ") + message;
}

}  // namespace

void WriteLog(const QString& title, const QString& message, bool show)
{
    const QDateTime now = Now();
    const QString file = logFolder() + now.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".log");
    if (Status written = AppendLine(file, logLine(now, title, message)); !written) {
        if (show)
            MsgBox(written.error().description, msgbox::vbOKOnly);
        return;
    }
    if (show)
        MsgBox(message, msgbox::vbCritical, title);
}

}  // namespace varnex
