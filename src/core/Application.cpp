#include "core/Application.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace varnex {
namespace {

QString& titleSlot()
{
    static QString title = QStringLiteral("Varnex");
    return title;
}

QString& pathOverride()
{
    static QString path;
    return path;
}

QString executableFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
}

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

}  // namespace

QString appTitle() { return titleSlot(); }

void setAppTitle(const QString& title) { titleSlot() = title; }

QString appFolder()
{
    const QString path = pathOverride().isEmpty() ? executableFolder() : pathOverride();
    return withoutTrailingSlash(path);
}

void setAppFolderForTesting(const QString& path) { pathOverride() = path; }

}  // namespace varnex
