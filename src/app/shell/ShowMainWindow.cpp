#include "app/ShowMainWindow.h"

namespace varnex {

// Placeholder until the main window exists: start-up ends after initialisation.
void ShowMainWindow() {}

}  // namespace varnex
