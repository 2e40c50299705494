#pragma once

#include "core/Error.h"

#include <functional>

class QWidget;

namespace varnex {

// The start-up routine. Ends the process when another instance runs or initialisation fails;
// otherwise shows the main window through showWindow and returns. A failure of showWindow is
// logged and shown under "Main", then the program shuts down.
void startApplication(const std::function<Status()>& showWindow);

// True when another instance was running and has been asked to come forward; the error when
// that request failed.
Result<bool> handOverToRunningInstance();

// Unloads every loaded window (but the one named like keep), closes and releases the shared
// connection and ends the process.
void exitApplication(QWidget* keep);

}  // namespace varnex
