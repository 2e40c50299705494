#pragma once
// The daily error log.

#include <QString>

namespace varnex {

// Appends "hh:mm:ss  <title right-aligned to 18>: <message>" CR LF to the day's log file
// (yyyymmdd.log in the log folder, else the application folder) and, with show, then shows the
// message as a critical message titled with title. Never fails to its caller.
void writeLog(const QString& title, const QString& message, bool show);

// The folder of the log files; empty (the start) means the application folder.
void setLogFolder(const QString& folder);
QString logFolder();

}  // namespace varnex
