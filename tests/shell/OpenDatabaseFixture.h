#pragma once
// Tests of how a database gets into the window: a fresh application folder, message boxes
// recorded, the main window that the start-up shows, and files dropped on it.

#include "shell/MainWindow.h"
#include "support/DesktopSandbox.h"
#include "support/MessageRecorder.h"

#include <jetwriter/JetWriter.h>

#include <QUrl>

#include <gtest/gtest.h>

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace varnex::test {

class OpenDatabaseFixture : public ::testing::Test {
protected:
    ~OpenDatabaseFixture() override;

    // A database of one-row tables of those names, written at path.
    static QString writeDatabase(const QString& path, jetwriter::Format format, const std::vector<std::string>& tables,
                                 std::optional<std::string> password = std::nullopt);
    static QString writeFile(const QString& path, const QByteArray& bytes);

    // The one main window loaded, or nullptr; the names in its table list.
    static MainWindow* mainWindow();
    static QStringList tables();
    // Drags the items over the main window and drops them there, as the desktop does; true when
    // the window took both the drag and the drop. The file opens once events run.
    static bool drop(const QList<QUrl>& urls);
    // The permission bits of a file or folder (0 when there is none).
    static mode_t modeOf(const QString& path);

    DesktopSandbox app;
    MessageRecorder boxes;
};

}  // namespace varnex::test
