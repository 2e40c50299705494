#pragma once
// A main window on a database that the writer made, with the message boxes, the questions
// and the save dialog answered by the test instead of a user.

#include "core/Messages.h"
#include "shell/FileDialog.h"
#include "shell/MainWindow.h"
#include "support/TempDir.h"

#include "jetwriter/JetWriter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace varnex::test {

// What the save dialog was given when it was shown.
struct SaveDialogSeen {
    QString initialFolder;
    QString title;
    QString filter;
    QString fileName;
};

class ExportFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a database with these tables and connects the program to it.
    void openDatabase(const std::vector<jetwriter::Table>& tables);
    // Connects the program to an existing database file.
    void connectTo(const QString& file, const QString& provider, const QString& password = {});
    // Writes a database holding the table and shows it in the grid.
    void showTable(const jetwriter::Table& table);
    MainWindow& form();

    // The user's answer to the next save dialogs: a path, or nullopt for Cancel.
    void answerSaveDialog(std::optional<QString> path) { answer_ = std::move(path); }
    // Presses Export with the save dialog answering path; returns the bytes of path + ".CSV".
    QByteArray exportAs(const QString& chosenName);
    void pressExport();

    void setHeader(bool on);
    // The user's answer to the question whether to replace a file (Yes unless told otherwise).
    void answerReplace(bool yes) { replaceAnswer_ = yes; }

    // The folder that the save dialog answers point into.
    QString folder() const { return dir_.file(QStringLiteral("out")); }
    QString pathOf(const QString& name) const { return folder() + QLatin1Char('/') + name; }
    // Names of the files in a folder, sorted, dot-files included.
    static QStringList filesIn(const QString& folder);
    static QByteArray readFile(const QString& path);
    static void writeFile(const QString& path, const QByteArray& bytes);
    // Lines of every log file written during the test.
    QStringList logLines() const;

    const std::vector<Message>& boxes() const { return boxes_; }
    const std::vector<Message>& questions() const { return questions_; }
    const std::vector<SaveDialogSeen>& dialogs() const { return dialogs_; }

private:
    TempDir dir_;
    std::unique_ptr<MainWindow> form_;
    std::optional<QString> answer_;
    std::vector<Message> boxes_;
    std::vector<Message> questions_;
    std::vector<SaveDialogSeen> dialogs_;
    bool replaceAnswer_ = true;
    MessageHandler previousMsgBox_;
    QuestionHandler previousQuestion_;
    FileDialogHandler previousDialog_;
};

}  // namespace varnex::test
