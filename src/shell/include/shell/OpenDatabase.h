#pragma once
// Switching the main window to another database.

#include <QString>

namespace varnex {

class MainWindow;

// Re-reads the settings, which reopens the shared connection, and when that succeeds refills
// the table list. A table of another database than the one now named leaves the grid.
void reloadDatabase(MainWindow& main);

// Opens path as if it had been chosen in the settings window: a name that is no file is
// refused with a box; any other is stored as the database and reloaded, so a file that does
// not open is reported as a start-up would report it. While the window is busy, the file
// waits for the end of what it is doing.
void openDatabaseFile(MainWindow& main, const QString& path);

// Asks for a database with the open dialog and opens the one chosen; cancelling changes nothing.
void askForDatabase(MainWindow& main);

}  // namespace varnex
