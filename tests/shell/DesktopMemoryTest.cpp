// What the desktop program remembers between runs, seen through the real start-up: File > Open
// Recent (order, a vanished file, Clear), the window's place and the table last shown, and where
// the file dialogs start in each build.

#include "OpenDatabaseFixture.h"

#include "app/AppSettings.h"
#include "app/UserState.h"
#include "core/AppFolders.h"
#include "core/Application.h"
#include "shell/OpenDatabase.h"
#include "shell/RecentFilesMenu.h"
#include "shell/ShowMainWindow.h"
#include "shell/StartingFolders.h"
#include "shell/Startup.h"
#include "shell/Windows.h"
#include "support/UserEnvironment.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QScreen>

namespace varnex {
namespace {

using test::DesktopSandbox;

class DesktopMemoryTest : public test::OpenDatabaseFixture {
protected:
    QString database(const QString& name, const std::vector<std::string>& tables = {"Alpha", "Beta"}) const
    {
        return writeDatabase(app.file(name), jetwriter::Format::Jet4, tables);
    }
    void start(const QString& file)
    {
        qDeleteAll(loadedWindows());
        startApplication(showMainWindow, file);
        ASSERT_NE(mainWindow(), nullptr);
    }
    // The recent files as the menu lists them (by the path each opens), and whether Clear is enabled.
    QStringList recentMenu()
    {
        auto* recent = mainWindow()->findChild<QMenu*>("mnuRecent");
        fillRecentFilesMenu(*mainWindow(), *recent);
        QStringList entries;
        for (QAction* action : recent->actions()) {
            if (action->objectName() == "actClearRecent")
                entries << (action->isEnabled() ? "Clear" : "(Clear)");
            else if (!action->isSeparator())
                entries << action->data().toString();
        }
        return entries;
    }
    void choose(const QString& name) { mainWindow()->findChild<QAction*>(name)->trigger(); }
};

TEST_F(DesktopMemoryTest, OpenRecentListsTheDatabasesOpenedNewestFirst)
{
    const QString a = database("a.mdb"), b = database("b.mdb"), c = database("c.mdb");
    start(a);
    EXPECT_EQ(recentMenu(), QStringList({a, "Clear"}));
    for (const QString& file : {b, c, b})
        openDatabaseFile(*mainWindow(), file);
    EXPECT_EQ(recentMenu(), QStringList({b, c, a, "Clear"}));

    // An entry opens its database.
    choose("actRecent2");
    EXPECT_EQ(appSettings().dataPath, c);
    EXPECT_EQ(recentMenu(), QStringList({c, b, a, "Clear"}));

    // A file gone since is said to be missing, and leaves the list.
    QFile::remove(a);
    choose("actRecent3");
    EXPECT_EQ(boxes.calls(), QList<Message>({{a + " - does not exist!", MessageStyle::Critical, appTitle()}}));
    EXPECT_EQ(appSettings().dataPath, c);
    EXPECT_EQ(recentMenu(), QStringList({c, b, "Clear"}));

    choose("actClearRecent");
    EXPECT_EQ(recentMenu(), QStringList({"(Clear)"}));
    EXPECT_FALSE(DesktopSandbox::readFile(app.file("Setup.ini")).contains("ecent"));
}

// The window comes back where it was closed, and shows the table it showed last of that database;
// a new window takes two thirds of the screen, centred.
TEST_F(DesktopMemoryTest, TheWindowComesBackWithItsPlaceAndLastTable)
{
    const QString a = database("a.mdb"), b = database("b.mdb");
    start(a);
    const QSize first = mainWindow()->screen()->availableSize() * 2 / 3;
    EXPECT_EQ(mainWindow()->size(), first);
    mainWindow()->showTable("Beta");
    openDatabaseFile(*mainWindow(), b);
    mainWindow()->showTable("Alpha");
    const QRect placed(40, 50, 420, 330);
    mainWindow()->setGeometry(placed);
    mainWindow()->close();
    EXPECT_EQ(app.endProcessCount(), 1);

    const struct {
        QString file;
        QString table;
    } starts[] = {{a, "Beta"}, {b, "Alpha"}};
    for (const auto& s : starts) {
        SCOPED_TRACE(s.file.toStdString());
        start(s.file);
        EXPECT_EQ(mainWindow()->geometry(), placed);
        EXPECT_EQ(mainWindow()->tableList->currentText(), s.table);
        EXPECT_NE(mainWindow()->grid->recordset(), nullptr);
    }
}

// A build run from its folder starts its dialogs there; an installed one in the folder last used,
// else the documents folder of user-dirs.dirs, else home.
TEST_F(DesktopMemoryTest, DialogsStartWhereTheBuildKeepsTheUsersFiles)
{
    test::TempDir user;
    const QString home = user.file("home");
    QDir().mkpath(home + "/.config");
    const auto writeUserDirs = [&](const QString& documents) {
        QFile dirs(home + "/.config/user-dirs.dirs");
        ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
        dirs.write(("XDG_DOCUMENTS_DIR=\"$HOME/" + documents + "\"\n").toUtf8());
    };
    QDir().mkpath(home + "/Papers");
    QDir().mkpath(user.file("exports"));
    const struct {
        const char* name;
        FolderLayout layout;
        QString documents;      // named in user-dirs.dirs
        QString lastExport;     // kept in the state; empty: none
        QString open, save;     // where the two dialogs start
    } cases[] = {
        {"portable", FolderLayout::BesideExecutable, "Papers", user.file("exports"), app.path(), app.path()},
        {"installed, documents", FolderLayout::UserFolders, "Papers", "", home + "/Papers", home + "/Papers"},
        {"installed, documents missing", FolderLayout::UserFolders, "Gone", "", home, home},
        {"installed, last folder", FolderLayout::UserFolders, "Papers", user.file("exports"), home + "/Papers",
         user.file("exports")},
        {"installed, last folder vanished", FolderLayout::UserFolders, "Papers", user.file("vanished"), home + "/Papers",
         home + "/Papers"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::UserEnvironment environment(home, std::nullopt, user.file("state"));
        setFolderLayoutForTesting(c.layout);
        writeUserDirs(c.documents);
        userState().lastExportFolder.clear();
        if (!c.lastExport.isEmpty())
            rememberFolderOf(FolderUse::Export, c.lastExport + "/out.csv");
        EXPECT_EQ(startingFolder(FolderUse::OpenDatabase), c.open);
        EXPECT_EQ(startingFolder(FolderUse::Export), c.save);
    }
    setFolderLayoutForTesting(FolderLayout::BesideExecutable);
}

}  // namespace
}  // namespace varnex
