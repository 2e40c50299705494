#pragma once
// File > Open Recent: the databases opened last (newest first, at most ten), each opened as if
// dropped on the window, and Clear. A file that has gone since is said to be missing when
// chosen, and leaves the list.

class QMenu;

namespace varnex {

class MainWindow;

// Adds the submenu to the file menu; its entries are read from the user state as it opens.
void createRecentFilesMenu(MainWindow& window, QMenu& fileMenu);
// Fills the submenu with the recent files and Clear (done as it opens).
void fillRecentFilesMenu(MainWindow& window, QMenu& recent);

}  // namespace varnex
