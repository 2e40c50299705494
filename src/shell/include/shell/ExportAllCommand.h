#pragma once
// File > Export All...: every table of the list as a CSV file in one folder, named as the
// command line's export-all names them (export/CsvFileNames.h) and written as the Export button
// writes (Setup.ini's header option, the locale's code set), under one progress dialog that can
// stop after the table at hand; a summary box names each file and each failure.

namespace varnex {

class MainWindow;

void exportAllTables(MainWindow& form);

}  // namespace varnex
