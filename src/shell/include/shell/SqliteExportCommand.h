#pragma once

namespace varnex {

class MainWindow;

// Export to SQLite: asks for a file name, then writes the open database whole into a new SQLite
// database there (export/SqliteConversion.h), on a thread of its own under a progress dialog with
// Cancel, and ends with a box that sums up what was written, what failed and what could not be read
// (each named in the log). The window stays responsive meanwhile; asked for again while one runs, it
// does nothing.
void exportDatabaseToSqlite(MainWindow& form);

}  // namespace varnex
