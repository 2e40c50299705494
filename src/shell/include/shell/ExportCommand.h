#pragma once

namespace varnex {

class MainWindow;

// The Export button: asks for a file name and writes the shown table to it as CSV: the rows
// shown as it starts (a filter still running finished first), in the order shown.
void exportShownTable(MainWindow& form);

}  // namespace varnex
