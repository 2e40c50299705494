#pragma once
// The running program's title and folder.

#include <QString>

namespace varnex {

// "Varnex" until changed; message boxes without a title of their own carry it,
// and the single-instance guard finds a running instance by it.
QString appTitle();
void setAppTitle(const QString& title);

// The folder of the executable, without a trailing "/".
QString appFolder();
// Tests point the application folder elsewhere; an empty path restores the real one.
void setAppFolderForTesting(const QString& path);

}  // namespace varnex
