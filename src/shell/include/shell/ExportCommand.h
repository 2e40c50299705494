#pragma once

namespace varnex {

class MainWindow;

// The Export button: asks for a file name and writes the shown table to it as CSV.
void exportShownTable(MainWindow& form);

}  // namespace varnex
