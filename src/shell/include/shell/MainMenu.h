#pragma once
// The main window's menu bar: File (Open, Open Recent, Export, Export All, Export to SQLite,
// Settings, Quit), Edit (Copy, Copy with Headings, Find), View (Sort Ascending, Sort Descending,
// Show Value) and Help (Varnex Manual, About Varnex). Every key of the window's commands is an action's shortcut
// here; the grid keeps Enter and Space, which the table list and the buttons need for themselves.
// Each action is named ("actOpen", "actQuit", ...) so that it can be found.

namespace varnex {

class MainWindow;

void createMainMenu(MainWindow& window);

}  // namespace varnex
