#pragma once

#include <QString>

namespace varnex {

// Appends "hh:mm:ss  <title right-aligned to 18>: <message>" CR LF to the day's log file
// (yyyymmdd.log in gLogDir, else the application folder) and, with show, then shows the
// message in a critical box captioned with title. Never fails to its caller.
void WriteLog(const QString& title, const QString& message, bool show);

}  // namespace varnex
