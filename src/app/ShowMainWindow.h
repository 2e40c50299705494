#pragma once

namespace varnex {

// Creates the main window, registers it with LoadForm and shows it.
void ShowMainWindow();

}  // namespace varnex
