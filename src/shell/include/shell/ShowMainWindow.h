#pragma once

#include "core/Error.h"

namespace varnex {

// Creates the main window, registers it with registerWindow, fills its table list and shows
// it. A table list that cannot be filled is the caller's to report.
Status showMainWindow();

}  // namespace varnex
