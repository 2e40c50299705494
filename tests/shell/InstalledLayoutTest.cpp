// An installed build keeps Setup.ini and its logs in the user's XDG folders, and its first start
// asks for a database instead of ending.

#include "OpenDatabaseFixture.h"

#include "core/AppFolders.h"
#include "shell/FileDialog.h"
#include "shell/ShowMainWindow.h"
#include "shell/Startup.h"
#include "shell/Windows.h"
#include "support/FileDialogStub.h"
#include "support/TempDir.h"
#include "support/UserEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>

namespace varnex {
namespace {

using test::DesktopSandbox;
using test::UserEnvironment;

QByteArray defaultSettings(const QString& path)
{
    return ("[General]\r\nLogDir=\r\n\r\n[DataConnection]\r\nPath=" + path +
            "\r\nUser=Admin\r\nPassword=\r\nConnectionString=Provider=Microsoft.Jet.OLEDB.4.0\r\n\r\n[Export]\r\n"
            "IncHeader=True\r\n")
        .toUtf8();
}

class InstalledLayoutTest : public test::OpenDatabaseFixture {
protected:
    InstalledLayoutTest() { setFolderLayoutForTesting(FolderLayout::UserFolders); }
    ~InstalledLayoutTest() override { setFolderLayoutForTesting(std::nullopt); }

    test::TempDir user;
};

TEST_F(InstalledLayoutTest, FirstStartCreatesPrivateSettingsAndAsksForADatabase)
{
    struct Case {
        const char* name;
        std::optional<QString> configHome, stateHome;
        QString settingsFolder, logFolder;  // below the user's temporary folder
    };
    const Case cases[] = {
        {"XDG folders unset", std::nullopt, std::nullopt, "home/.config/varnex", "home/.local/state/varnex/Log"},
        {"XDG folders set", user.file("cfg"), user.file("st"), "cfg/varnex", "st/varnex/Log"},
        {"relative XDG folders are ignored", QString("cfg"), QString("st"), "home/.config/varnex",
         "home/.local/state/varnex/Log"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(user.path()).removeRecursively();
        QDir().mkpath(user.file("home"));
        UserEnvironment environment(user.file("home"), c.configHome, c.stateHome);
        const QString database = writeDatabase(user.file("home/shop.accdb"), jetwriter::Format::Ace2010, {"Orders"});
        const QString setupIni = user.file(c.settingsFolder + "/Setup.ini");
        test::FileDialogStub dialog(database);
        boxes.clear();

        startApplication(showMainWindow);
        ASSERT_EQ(loadedWindows().size(), 1);
        EXPECT_TRUE(tables().isEmpty());  // the window is up before the question
        EXPECT_EQ(DesktopSandbox::readFile(setupIni), defaultSettings(""));
        EXPECT_TRUE(dialog.shown().isEmpty());
        QApplication::processEvents();

        ASSERT_EQ(dialog.shown().size(), 1);
        EXPECT_EQ(dialog.shown()[0].mode, FileDialogMode::Open);
        EXPECT_EQ(dialog.shown()[0].title, "Select database");
        EXPECT_EQ(dialog.shown()[0].initialFolder, user.file("home"));
        EXPECT_EQ(tables(), QStringList{"Orders"});
        EXPECT_EQ(DesktopSandbox::readFile(setupIni), defaultSettings(database));
        EXPECT_EQ(modeOf(setupIni), 0600u);
        EXPECT_EQ(modeOf(user.file(c.settingsFolder)), 0700u);
        EXPECT_EQ(modeOf(user.file(c.logFolder)), 0700u);
        EXPECT_TRUE(boxes.calls().isEmpty());
        EXPECT_EQ(QDir(app.path()).entryList({"Setup.ini", "Log", "*.log"}), QStringList{});

        // Failures are logged in the user's state folder.
        const QString notes = writeFile(user.file("home/notes.accdb"), QByteArray(8192, 'x'));
        ASSERT_TRUE(drop({QUrl::fromLocalFile(notes)}));
        QApplication::processEvents();
        const QByteArray expectedLog = "09:05:03        Init Globals: Unrecognized database format '" + notes.toUtf8() + "'.\r\n";
        EXPECT_EQ(DesktopSandbox::readFile(user.file(c.logFolder + "/20020703.log")), expectedLog);
        ASSERT_TRUE(drop({QUrl::fromLocalFile(database)}));
        QApplication::processEvents();
        qDeleteAll(loadedWindows());

        // The next start reads the settings there, unchanged, and asks nothing.
        boxes.clear();
        startApplication(showMainWindow);
        QApplication::processEvents();
        EXPECT_EQ(dialog.shown().size(), 1);
        EXPECT_EQ(tables(), QStringList{"Orders"});
        EXPECT_EQ(DesktopSandbox::readFile(setupIni), defaultSettings(database));
        EXPECT_TRUE(boxes.calls().isEmpty());
        qDeleteAll(loadedWindows());
    }
}

// "varnex FILE" on the first start: the defaults are written first, then the file is stored, and
// no question is asked.
TEST_F(InstalledLayoutTest, FirstStartWithAFile)
{
    UserEnvironment environment(user.path(), std::nullopt, std::nullopt);
    const QString database = writeDatabase(user.file("shop.accdb"), jetwriter::Format::Ace2010, {"Orders"});
    test::FileDialogStub dialog(std::nullopt);
    startApplication(showMainWindow, database);
    QApplication::processEvents();
    EXPECT_TRUE(dialog.shown().isEmpty());
    EXPECT_EQ(tables(), QStringList{"Orders"});
    EXPECT_EQ(DesktopSandbox::readFile(user.file(".config/varnex/Setup.ini")), defaultSettings(database));
    EXPECT_TRUE(boxes.calls().isEmpty());
    EXPECT_EQ(app.endProcessCount(), 0);
}

// A settings folder that cannot be made (here: a file stands in its way) is reported, and the
// start ends as a start without Setup.ini always has, logging in the user's state folder.
TEST_F(InstalledLayoutTest, SettingsThatCannotBeWrittenEndTheStart)
{
    writeFile(user.file("config"), {});
    UserEnvironment environment(user.path(), user.file("config"), user.file("state"));
    const QString setupIni = user.file("config/varnex/Setup.ini");
    startApplication(showMainWindow);
    EXPECT_EQ(boxes.calls(),
              (QList<Message>{{"Could not save the settings to '" + setupIni + "'.", MessageStyle::Critical, "Varnex"},
                              {setupIni + " file does not exist.  Aborting", MessageStyle::Critical, "Init Globals"}}));
    EXPECT_EQ(DesktopSandbox::readFile(user.file("state/varnex/Log/20020703.log")),
              "09:05:03        Init Globals: " + setupIni.toUtf8() + " file does not exist.  Aborting\r\n");
    EXPECT_TRUE(loadedWindows().isEmpty());
    EXPECT_EQ(app.endProcessCount(), 1);
}

}  // namespace
}  // namespace varnex
