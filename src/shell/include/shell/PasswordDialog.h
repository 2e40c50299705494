#pragma once
// The dialog that asks for a database's password: the file's name, a masked field, and
// "Remember in Setup.ini" (off unless ticked). OK gives the password, Cancel or Esc gives none.

#include "app/DatabasePassword.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace varnex {

class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    // refused: the password tried last was wrong, which the dialog says.
    PasswordDialog(const QString& path, bool refused, QWidget* parent = nullptr);

    QLabel* promptLabel;
    QLineEdit* passwordEdit;
    QCheckBox* rememberBox;

    PasswordAnswer answer() const;
};

// Makes the dialog the way loadSettings asks for passwords (needs a QApplication).
void installPasswordDialog();

}  // namespace varnex
