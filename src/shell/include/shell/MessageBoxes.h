#pragma once
// Shows the program's messages as modal message boxes with one OK button, and asks its
// questions in boxes with Yes and No.

namespace varnex {

// Installs the message boxes as the way messages are shown and questions asked (needs a QApplication).
void installMessageBoxes();

}  // namespace varnex
