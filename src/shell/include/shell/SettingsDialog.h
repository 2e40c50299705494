#pragma once
// The settings window: the export header option, the database file, and the
// user name and password of the connection. The header option and the
// database path are stored the moment they change, the user name and password
// when the window closes. There is no OK or Cancel button; the close box
// closes it.

#include "shell/FileDialog.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace varnex {

class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    explicit SettingsDialog(QWidget* owner = nullptr);
    ~SettingsDialog() override;

    // Loads the window from the settings, shows it modally over its owner and
    // returns once it has closed and its unload handler has run.
    void showModal();

    // Event handlers, public so the Settings button and tests can reach them.
    void loadFromSettings();
    void storeCredentials();
    void storeIncludeHeader();
    void browseForDatabase();

    QCheckBox* includeHeaderBox = nullptr;
    QLineEdit* dataPathEdit = nullptr;
    QLabel* dataPathLabel = nullptr;
    QPushButton* browseButton = nullptr;
    QLineEdit* userEdit = nullptr;
    QLabel* userLabel = nullptr;
    QLineEdit* passwordEdit = nullptr;
    QLabel* passwordLabel = nullptr;
    FileDialog fileDialog;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void createControls();
    void layOut();
    void centreOnScreen();
    void unloadOnce();

    bool unloaded_ = false;
};

}  // namespace varnex
