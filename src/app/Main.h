#pragma once

#include "platform/Error.h"

#include <functional>

class QWidget;

namespace varnex {

// The start-up routine. Ends the process when another instance runs or initialisation fails;
// otherwise shows the main window through showMainWindow and returns. A failure thrown from
// showMainWindow as RaisedError (or any std::exception) is logged and shown under "Main",
// then the program shuts down.
void Main(const std::function<void()>& showMainWindow);

// True when another instance was running and has been asked to come forward; the error when
// that request failed.
Result<bool> CheckPrevInstance();

// Unloads every loaded window (but the one named like keep), closes and releases gConn and
// ends the process.
void ExitApplication(QWidget* keep);

}  // namespace varnex
