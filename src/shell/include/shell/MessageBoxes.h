#pragma once
// Shows the program's messages as modal message boxes with one OK button.

namespace varnex {

// Installs the message boxes as the way messages are shown (needs a QApplication).
void installMessageBoxes();

}  // namespace varnex
