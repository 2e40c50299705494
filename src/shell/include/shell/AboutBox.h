#pragma once
// Help menu's windows: the About box (the program's version, the versions of libmdb and Qt it
// was built with, and its licence) and the manual.

#include <QString>
#include <QUrl>

class QWidget;

namespace varnex {

// The About box's text: version lines, then the licence whole.
QString aboutText();
// Shows the About box modally over owner.
void showAboutBox(QWidget* owner);

// Where the manual is read: the installed manual page ("man:varnex(1)") for an installed build,
// README.md beside the executable for one run from its folder.
QUrl manualUrl();
// Opens the manual with the desktop's viewer; where none takes it, a box says where it is.
void openManual();

}  // namespace varnex
