#pragma once
// What the main window remembers between runs through the user state (app/UserState.h): its size
// and place, the databases opened (File > Open Recent) and the table last shown of each.

namespace varnex {

class MainWindow;

// Places the window as it was closed last time, and keeps its place and the tables it shows.
void rememberWindow(MainWindow& window);
// The settings' database opened: it goes to the top of the recent files.
void rememberOpenedDatabase();

}  // namespace varnex
