#pragma once
// A main window over a database made by the writer, with message boxes,
// the log folder and the end of the process captured.

#include "shell/MainWindow.h"
#include "shell/Windows.h"
#include "support/TempDir.h"

#include "jetwriter/JetWriter.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// Texts in test messages as text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace varnex::test {

class MessageRecorder;

class MainWindowFixture : public ::testing::Test {
protected:
    MainWindowFixture();
    ~MainWindowFixture() override;

    // Writes the database, opens the shared connection on it and names it in the settings.
    void OpenDatabase(const jetwriter::Database& database);
    // Opens an existing file through the shared connection and names it in the settings.
    void OpenFile(const QString& path, bool jet4);
    // A new main window, loaded (its table list filled) and shown.
    MainWindow& ShowWindow();

    QStringList ListEntries() const;
    // Picks the entry as a user would, through the drop-down list.
    void Pick(const QString& tableName);
    // The texts of one grid column, top to bottom.
    QStringList ColumnTexts(int column) const;
    // Waits until the grid's work in the background (filtering, profiling, copying) is done.
    void WaitForGrid() const;
    // Lines of today's log file.
    QStringList LogLines() const;
    int MessageBoxCount() const;
    QString LastMessageBoxTitle() const;
    int EndProcessCount() const { return endProcessCount_; }

    TempDir dir_;
    std::unique_ptr<MainWindow> window_;

private:
    std::unique_ptr<MessageRecorder> boxes_;
    EndProcessHandler previousEndProcess_;
    int endProcessCount_ = 0;
    int databaseCount_ = 0;
};

// A table of text and number columns with the given rows.
jetwriter::Table TextTable(const std::string& name, std::vector<std::string> columns,
                           std::vector<jetwriter::Row> rows = {});

}  // namespace varnex::test
