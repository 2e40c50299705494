#pragma once
// The daily error log.

#include "core/Error.h"

#include <QString>

#include <functional>

namespace varnex {

// Appends "hh:mm:ss  <title right-aligned to 18>: <message>" CR LF to the day's log file
// (yyyymmdd.log in the log folder, else the application folder) and, with show, then shows the
// message as a critical message titled with title. Never fails to its caller: a log folder that
// cannot be made (the line then goes to the application folder) and, with show, a line that cannot
// be written go to the failure handler.
void writeLog(const QString& title, const QString& message, bool show);

// Receives what kept the log from its folder or its file. The program that shows messages installs
// one that tells the user; without one, the failure goes to standard error. Returns the previous one.
using LogFailureHandler = std::function<void(const Error& failure)>;
LogFailureHandler setLogFailureHandler(LogFailureHandler handler);

// The folder of the log files; empty (the start) means the application folder.
void setLogFolder(const QString& folder);
QString logFolder();

}  // namespace varnex
