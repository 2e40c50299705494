#pragma once
// The program's loaded windows in load order, and ending the process.

#include <QList>

#include <functional>

class QWidget;

namespace varnex {

// Appends the window to the loaded windows (once; a destroyed window drops out by itself).
void registerWindow(QWidget* form);
// Closes the window, so its close (unload) handler runs, and removes it from the list.
// The widget itself is not deleted.
void unloadWindow(QWidget* form);
// Index 0 is the earliest loaded window still loaded. A window's name is its objectName.
QList<QWidget*> loadedWindows();

// Ends the process at once with the exit status: no further handler runs.
void endProcess(int exitStatus = 0);

using EndProcessHandler = std::function<void(int exitStatus)>;
// Tests record the end instead (endProcess then returns). An empty handler restores the
// real end. Returns the previous handler.
EndProcessHandler setEndProcessHandler(EndProcessHandler handler);
// The same for a handler that does not look at the exit status.
EndProcessHandler setEndProcessHandler(std::function<void()> handler);

}  // namespace varnex
