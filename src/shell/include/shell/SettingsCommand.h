#pragma once

namespace varnex {

class MainWindow;

// The main window's Settings button: shows the settings window modally over
// the main window, then re-reads the settings and reopens the connection, and
// when that succeeds refills the table list.
void editSettings(MainWindow& main);

}  // namespace varnex
