#pragma once

#include "core/Error.h"

#include <QString>

#include <functional>

class QWidget;

namespace varnex {

// The start-up routine. Ends the process when another instance runs (handing fileToOpen to it;
// exit status 0) or initialisation fails (1); otherwise shows the main window through showWindow
// and returns. A fileToOpen is first stored as the database, as the settings window's browse
// button does. A failure of showWindow is logged and shown under "Main", then the program shuts
// down (1).
void startApplication(const std::function<Status()>& showWindow, const QString& fileToOpen = {});

// True when another instance was running and has been asked to come forward (and to open
// fileToOpen, when one is named); the error when that request failed.
Result<bool> handOverToRunningInstance(const QString& fileToOpen = {});

// Unloads every loaded window (but the one named like keep), closes and releases the shared
// connection and ends the process with the exit status.
void exitApplication(QWidget* keep, int exitStatus = 0);

}  // namespace varnex
