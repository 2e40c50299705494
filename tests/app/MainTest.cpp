#include "app/GlobalSettings.h"
#include "app/Main.h"
#include "platform/Forms.h"
#include "platform/data/Connection.h"
#include "support/AppSandbox.h"
#include "support/MsgBoxRecorder.h"

#include <jetwriter/JetWriter.h>

#include <QCloseEvent>
#include <QFile>
#include <QWidget>

#include <gtest/gtest.h>

namespace varnex {
namespace {

using test::AppSandbox;

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

QString writeSettingsWithDatabase(const AppSandbox& app)
{
    jetwriter::Database db;
    db.format = jetwriter::Format::Jet3;
    db.tables.push_back({"T", {{"N", jetwriter::ColumnType::Long}}, {{int64_t{1}}}, {}});
    const QString path = app.file("Rilk.mdb");
    jetwriter::writeDatabase(db, path.toStdString());
    app.writeSetupIni(("[DataConnection]\r\nPath=" + path + "\r\n").toUtf8());
    return path;
}

TEST(Main, MissingSettingsEndsWithoutTheMainWindow)
{
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    int shown = 0;
    Main([&] { ++shown; });
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(app.endProcessCount(), 1);
    ASSERT_EQ(boxes.calls().size(), 1);
    EXPECT_EQ(boxes.calls()[0].title, "Init Globals");
    EXPECT_EQ(AppSandbox::readFile(app.logFile()).count("\r\n"), 1);
}

TEST(Main, SuccessfulStartShowsTheMainWindowAndKeepsRunning)
{
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    writeSettingsWithDatabase(app);
    int shown = 0;
    Main([&] { ++shown; });
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(app.endProcessCount(), 0);
    ASSERT_TRUE(Globals().gConn);
    EXPECT_EQ(Globals().gConn->State(), 1);
    EXPECT_TRUE(boxes.calls().isEmpty());
}

TEST(Main, MissingDatabaseStillShowsTheMainWindow)
{
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    app.writeSetupIni("[DataConnection]\r\nPath=/nowhere/Rilk.mdb\r\n");
    int shown = 0;
    Main([&] { ++shown; });
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(app.endProcessCount(), 0);
    EXPECT_EQ(boxes.calls(), (QList<MsgBoxCall>{{"Could not find Rilk.mdb. Path = '/nowhere/Rilk.mdb'.", 16, "Varnex"}}));
}

TEST(Main, FailureWhileShowingIsLoggedAndShutsDown)
{
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    writeSettingsWithDatabase(app);
    QStringList unloaded;
    Form main("frmMain", &unloaded);
    Main([&] {
        LoadForm(&main);
        Raise(Error{13, "Type mismatch"});
    });
    EXPECT_EQ(boxes.calls(), (QList<MsgBoxCall>{{"Type mismatch 13", 16, "Main"}}));
    EXPECT_EQ(AppSandbox::readFile(app.logFile(app.path() + "/Log")), "09:05:03                Main: Type mismatch 13\r\n");
    EXPECT_EQ(unloaded, QStringList{"frmMain"});
    EXPECT_TRUE(LoadedForms().isEmpty());
    EXPECT_FALSE(Globals().gConn);
    EXPECT_EQ(app.endProcessCount(), 1);
}

TEST(ExitApplication, WithoutWindowsClosesTheConnectionAndEnds)
{
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    writeSettingsWithDatabase(app);
    Main([] {});
    const std::shared_ptr<Connection> connection = Globals().gConn;
    ASSERT_TRUE(connection);
    ExitApplication(nullptr);
    EXPECT_EQ(connection->State(), 0);
    EXPECT_FALSE(Globals().gConn);
    EXPECT_EQ(app.endProcessCount(), 1);
}

TEST(ExitApplication, KeepsTheWindowOfThatName)
{
    AppSandbox app;
    QStringList unloaded;
    Form main("frmMain", &unloaded), settings("frmSetting", &unloaded), other("frmOther", &unloaded);
    LoadForm(&settings);
    LoadForm(&main);
    LoadForm(&other);
    // A different window of the same name counts as the one to keep.
    Form sameName("frmMain", &unloaded);
    ExitApplication(&sameName);
    EXPECT_EQ(unloaded, (QStringList{"frmSetting", "frmOther"}));
    EXPECT_EQ(LoadedForms(), QList<QWidget*>{&main});
    EXPECT_EQ(app.endProcessCount(), 1);

    ExitApplication(nullptr);
    EXPECT_EQ(unloaded, (QStringList{"frmSetting", "frmOther", "frmMain"}));
    EXPECT_TRUE(LoadedForms().isEmpty());
}

// The main window's unload handler calls ExitApplication with itself, as the browser does.
class MainWindow : public QWidget {
public:
    explicit MainWindow(QStringList* log) : log_(log) { setObjectName("frmMain"); }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        log_->append("frmMain unload");
        ExitApplication(this);
        QWidget::closeEvent(event);
    }

private:
    QStringList* log_;
};

TEST(ExitApplication, MainWindowUnloadDuringShutdownEndsFromThere)
{
    AppSandbox app;
    QStringList log;
    MainWindow main(&log);
    Form settings("frmSetting", &log);
    LoadForm(&main);
    LoadForm(&settings);
    ExitApplication(nullptr);
    EXPECT_EQ(log, (QStringList{"frmMain unload", "frmSetting"}));
    EXPECT_TRUE(LoadedForms().isEmpty());
}

}  // namespace
}  // namespace varnex
