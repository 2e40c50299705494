#pragma once
// The running program's title and folder.

#include <QString>

namespace varnex {

// "Varnex" until changed; message boxes without a title of their own carry it,
// and the single-instance guard finds a running instance by it.
QString AppTitle();
void SetAppTitle(const QString& title);

// The folder of the executable, without a trailing "/".
QString AppPath();
// Tests point the application folder elsewhere; an empty path restores the real one.
void SetAppPathForTesting(const QString& path);

}  // namespace varnex
