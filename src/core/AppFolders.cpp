#include "core/AppFolders.h"

#include "core/Application.h"
#include "core/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#ifndef VARNEX_INSTALLED_LAYOUT
#define VARNEX_INSTALLED_LAYOUT 0
#endif

namespace varnex {
namespace {

std::optional<FolderLayout>& layoutOverride()
{
    static std::optional<FolderLayout> layout;
    return layout;
}

QString homeFolder()
{
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? QFile::decodeName(entry->pw_dir) : QDir::rootPath();
}

// A base folder variable of the XDG scheme: only an absolute path counts, anything else
// falls back to the given folder below the home folder.
QString xdgFolder(const char* variable, const QString& belowHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(homeFolder() + QLatin1Char('/') + belowHome);
}

}  // namespace

FolderLayout folderLayout()
{
    if (layoutOverride())
        return *layoutOverride();
    return VARNEX_INSTALLED_LAYOUT ? FolderLayout::UserFolders : FolderLayout::BesideExecutable;
}

void setFolderLayoutForTesting(std::optional<FolderLayout> layout) { layoutOverride() = layout; }

QString settingsFolder()
{
    if (folderLayout() == FolderLayout::BesideExecutable)
        return appFolder();
    return xdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config")) + QStringLiteral("/varnex");
}

QString stateFolder()
{
    if (folderLayout() == FolderLayout::BesideExecutable)
        return settingsFolder();
    return xdgFolder("XDG_STATE_HOME", QStringLiteral(".local/state")) + QStringLiteral("/varnex");
}

QString defaultLogFolder()
{
    if (folderLayout() == FolderLayout::BesideExecutable)
        return withTrailingSlash(appFolder()) + QStringLiteral("Log/");
    return stateFolder() + QStringLiteral("/Log/");
}

bool makePrivateFolders(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    qsizetype next = clean.startsWith(QLatin1Char('/')) ? 1 : 0;
    while (next >= 0 && next <= clean.size()) {
        const qsizetype slash = clean.indexOf(QLatin1Char('/'), next);
        const QString prefix = slash < 0 ? clean : clean.left(slash);
        next = slash < 0 ? -1 : slash + 1;
        if (prefix.isEmpty() || QFileInfo(prefix).isDir())
            continue;
        if (::mkdir(QFile::encodeName(prefix).constData(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return QFileInfo(clean).isDir();
}

}  // namespace varnex
