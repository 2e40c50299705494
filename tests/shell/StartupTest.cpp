#include "app/AppSettings.h"
#include "data/Connection.h"
#include "shell/Startup.h"
#include "shell/Windows.h"
#include "support/DesktopSandbox.h"
#include "support/MessageRecorder.h"

#include <jetwriter/JetWriter.h>

#include <QCloseEvent>
#include <QFile>
#include <QWidget>

#include <gtest/gtest.h>

namespace varnex {
namespace {

using test::DesktopSandbox;

// A window whose unload handler notes that it ran.
class Form : public QWidget {
public:
    Form(const QString& name, QStringList* unloaded) : unloaded_(unloaded) { setObjectName(name); }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        unloaded_->append(objectName());
        QWidget::closeEvent(event);
    }

private:
    QStringList* unloaded_;
};

QString writeSettingsWithDatabase(const DesktopSandbox& app)
{
    jetwriter::Database db;
    db.format = jetwriter::Format::Jet3;
    db.tables.push_back({"T", {{"N", jetwriter::ColumnType::Long}}, {{int64_t{1}}}, {}});
    const QString path = app.file("Rilk.mdb");
    jetwriter::writeDatabase(db, path.toStdString());
    app.writeSetupIni(("[DataConnection]\r\nPath=" + path + "\r\n").toUtf8());
    return path;
}

TEST(Startup, MissingSettingsEndsWithoutTheMainWindow)
{
    DesktopSandbox app;
    test::MessageRecorder boxes;
    int shown = 0;
    startApplication([&] { ++shown; return Status{}; });
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(app.endProcessCount(), 1);
    EXPECT_EQ(app.exitStatus(), 1);
    ASSERT_EQ(boxes.calls().size(), 1);
    EXPECT_EQ(boxes.calls()[0].title, "Init Globals");
    EXPECT_EQ(DesktopSandbox::readFile(app.logFile()).count("\r\n"), 1);
}

TEST(Startup, SuccessfulStartShowsTheMainWindowAndKeepsRunning)
{
    DesktopSandbox app;
    test::MessageRecorder boxes;
    writeSettingsWithDatabase(app);
    int shown = 0;
    startApplication([&] { ++shown; return Status{}; });
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(app.endProcessCount(), 0);
    ASSERT_TRUE(appSettings().connection);
    EXPECT_TRUE(appSettings().connection->isOpen());
    EXPECT_TRUE(boxes.calls().isEmpty());
}

TEST(Startup, MissingDatabaseStillShowsTheMainWindow)
{
    DesktopSandbox app;
    test::MessageRecorder boxes;
    app.writeSetupIni("[DataConnection]\r\nPath=/nowhere/Rilk.mdb\r\n");
    int shown = 0;
    startApplication([&] { ++shown; return Status{}; });
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(app.endProcessCount(), 0);
    EXPECT_EQ(boxes.calls(), (QList<Message>{{"Could not find Rilk.mdb. Path = '/nowhere/Rilk.mdb'.", MessageStyle::Critical, "Varnex"}}));
}

TEST(Startup, FailureWhileShowingIsLoggedAndShutsDown)
{
    DesktopSandbox app;
    test::MessageRecorder boxes;
    writeSettingsWithDatabase(app);
    QStringList unloaded;
    Form main("frmMain", &unloaded);
    startApplication([&] {
        registerWindow(&main);
        return Status{makeError(ErrorCode::TypeMismatch)};
    });
    EXPECT_EQ(boxes.calls(), (QList<Message>{{"Type mismatch 13", MessageStyle::Critical, "Main"}}));
    EXPECT_EQ(DesktopSandbox::readFile(app.logFile(app.path() + "/Log")), "09:05:03                Main: Type mismatch 13\r\n");
    EXPECT_EQ(unloaded, QStringList{"frmMain"});
    EXPECT_TRUE(loadedWindows().isEmpty());
    EXPECT_FALSE(appSettings().connection);
    EXPECT_EQ(app.endProcessCount(), 1);
    EXPECT_EQ(app.exitStatus(), 1);
}

TEST(ExitApplication, WithoutWindowsClosesTheConnectionAndEnds)
{
    DesktopSandbox app;
    test::MessageRecorder boxes;
    writeSettingsWithDatabase(app);
    startApplication([] { return Status{}; });
    const std::shared_ptr<Connection> connection = appSettings().connection;
    ASSERT_TRUE(connection);
    exitApplication(nullptr);
    EXPECT_FALSE(connection->isOpen());
    EXPECT_FALSE(appSettings().connection);
    EXPECT_EQ(app.endProcessCount(), 1);
}

TEST(ExitApplication, KeepsTheWindowOfThatName)
{
    DesktopSandbox app;
    QStringList unloaded;
    Form main("frmMain", &unloaded), settings("frmSetting", &unloaded), other("frmOther", &unloaded);
    registerWindow(&settings);
    registerWindow(&main);
    registerWindow(&other);
    // A different window of the same name counts as the one to keep.
    Form sameName("frmMain", &unloaded);
    exitApplication(&sameName);
    EXPECT_EQ(unloaded, (QStringList{"frmSetting", "frmOther"}));
    EXPECT_EQ(loadedWindows(), QList<QWidget*>{&main});
    EXPECT_EQ(app.endProcessCount(), 1);

    exitApplication(nullptr);
    EXPECT_EQ(unloaded, (QStringList{"frmSetting", "frmOther", "frmMain"}));
    EXPECT_TRUE(loadedWindows().isEmpty());
}

// The main window's unload handler calls exitApplication with itself, as the browser does.
class MainWindow : public QWidget {
public:
    explicit MainWindow(QStringList* log) : log_(log) { setObjectName("frmMain"); }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        log_->append("frmMain unload");
        exitApplication(this);
        QWidget::closeEvent(event);
    }

private:
    QStringList* log_;
};

TEST(ExitApplication, MainWindowUnloadDuringShutdownEndsFromThere)
{
    DesktopSandbox app;
    QStringList log;
    MainWindow main(&log);
    Form settings("frmSetting", &log);
    registerWindow(&main);
    registerWindow(&settings);
    exitApplication(nullptr);
    EXPECT_EQ(log, (QStringList{"frmMain unload", "frmSetting"}));
    EXPECT_TRUE(loadedWindows().isEmpty());
    EXPECT_EQ(app.exitStatus(), 0);
}

// A start that fails after the main window was loaded: its unload handler ends the program
// from within the shutdown, and the failure's exit status stands.
TEST(ExitApplication, FailedStartKeepsItsStatusThroughTheMainWindowUnload)
{
    DesktopSandbox app;
    test::MessageRecorder boxes;
    writeSettingsWithDatabase(app);
    QStringList log;
    MainWindow main(&log);
    startApplication([&] {
        registerWindow(&main);
        return Status{makeError(ErrorCode::TypeMismatch)};
    });
    EXPECT_EQ(log, QStringList{"frmMain unload"});
    EXPECT_EQ(app.endProcessCount(), 2);  // from the unload handler, then from the shutdown
    EXPECT_EQ(app.exitStatus(), 1);
}

}  // namespace
}  // namespace varnex
