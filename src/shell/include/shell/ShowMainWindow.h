#pragma once

#include "core/Error.h"

namespace varnex {

// Creates the main window, registers it with registerWindow, fills its table list and shows
// it; files handed over by later starts open in it. An installed build without a database
// then asks for one with the open dialog. A table list that cannot be filled is the caller's
// to report.
Status showMainWindow();

}  // namespace varnex
