#pragma once
// The settings window: the export header option, the database file, and the
// user name and password of the connection. The header option and the
// database path are stored the moment they change, the user name and password
// when the window closes. There is no OK or Cancel button; the close box
// closes it.

#include "platform/CommonDialog.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace varnex {

class frmSetting : public QDialog {
    Q_OBJECT

public:
    explicit frmSetting(QWidget* owner = nullptr);
    ~frmSetting() override;

    // Loads the window from the settings, shows it modally over its owner and
    // returns once it has closed and its unload handler has run.
    void ShowModal();

    // Event handlers, public so the Settings button and tests can reach them.
    void Form_Load();
    void Form_Unload();
    void chkHeader_Click();
    void cmdDataPath_Click();

    QCheckBox* chkHeader = nullptr;
    QLineEdit* txtDataPath = nullptr;
    QLabel* lblDataPath = nullptr;
    QPushButton* cmdDataPath = nullptr;
    QLineEdit* txtUser = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtPassword = nullptr;
    QLabel* Label2 = nullptr;
    CommonDialog CD;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void CreateControls();
    void LayOut();
    void CentreOnScreen();
    void UnloadOnce();

    bool unloaded_ = false;
};

}  // namespace varnex
