#pragma once
// A settings window test: a real Setup.ini in a fresh application folder,
// message boxes and file dialog answered by the test.

#include "app/AppSettings.h"
#include "support/FileDialogStub.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

#include <QString>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

namespace varnex {

class SettingsDialog;

namespace test {

class SettingsDialogFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString iniFile() const { return appSettings().iniFile; }
    // The settings file's bytes (std::string, so that a difference prints readably).
    void writeIni(const std::string& bytes) const;
    std::string iniBytes() const;
    // Makes an empty file (and its folders) below the application folder; returns its path.
    QString makeFile(const QString& relativePath) const;

    // How the file dialog is answered from now on: the path chosen, or Cancel.
    void chooseInDialog(const QString& path);
    void cancelDialog();

    // Opens the window as the Settings button does, runs `use` while it is
    // shown, then closes it with its close box.
    void openAndClose(const std::function<void(SettingsDialog&)>& use = {});
    // Runs `use` on the settings window that is opened next (by the Settings
    // button), then closes that window with its close box.
    void onNextSettingsWindow(const std::function<void(SettingsDialog&)>& use);

    const QList<Message>& boxes() const { return msgBoxes.calls(); }
    const QList<FileDialog>& dialogs() const { return fileDialog.shown(); }

    TempDir appDir;
    MessageRecorder msgBoxes;
    FileDialogStub fileDialog{std::nullopt};
};

}  // namespace test
}  // namespace varnex
