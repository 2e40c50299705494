// Getting a database into the window: "varnex FILE" at start, files dropped on the main window,
// .accdb files with the run script's Setup.ini.

#include "OpenDatabaseFixture.h"

#include "core/Application.h"
#include "shell/OpenDatabase.h"
#include "shell/SettingsDialog.h"
#include "shell/ShowMainWindow.h"
#include "shell/SingleInstance.h"
#include "shell/Startup.h"
#include "shell/StatusLine.h"
#include "shell/Windows.h"
#include "support/FileDialogStub.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLocalSocket>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QtTest/QTest>

#include <atomic>
#include <thread>

namespace varnex {
namespace {

using test::DesktopSandbox;

class OpenDatabaseTest : public test::OpenDatabaseFixture {
protected:
    QString database(const QString& name, jetwriter::Format format, const std::vector<std::string>& tables,
                     std::optional<std::string> password = std::nullopt) const
    {
        return writeDatabase(app.file(name), format, tables, std::move(password));
    }
    QByteArray setupIni() const { return DesktopSandbox::readFile(app.file("Setup.ini")); }
    static QByteArray pathOnly(const QString& path) { return ("[DataConnection]\r\nPath=" + path + "\r\n").toUtf8(); }
};

// "varnex FILE" on a fresh application folder: Setup.ini is started with the path, and the
// window opens on the database, whatever its format.
TEST_F(OpenDatabaseTest, FileArgumentOnAFreshApplicationFolder)
{
    struct Case {
        const char* name;
        jetwriter::Format format;
        QString file;
    };
    const Case cases[] = {
        {"Jet 3", jetwriter::Format::Jet3, "old.mdb"},
        {"Jet 4", jetwriter::Format::Jet4, "four.mdb"},
        {"Access 2007", jetwriter::Format::Ace2007, "new.accdb"},
        {"Access 2010", jetwriter::Format::Ace2010, "newer.accdb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(app.file("Setup.ini"));
        qDeleteAll(loadedWindows());
        const QString path = database(c.file, c.format, {"Orders", "MSysExtra", "People"});
        startApplication(showMainWindow, path);
        EXPECT_EQ(tables(), QStringList({"Orders", "People"}));
        EXPECT_EQ(setupIni(), pathOnly(path));
        EXPECT_EQ(modeOf(app.file("Setup.ini")), 0600u);
        EXPECT_EQ(app.endProcessCount(), 0);
        EXPECT_TRUE(boxes.calls().isEmpty());
    }
    // A name relative to the working folder is stored as a full path.
    qDeleteAll(loadedWindows());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(app.path()));
    startApplication(showMainWindow, "old.mdb");
    QDir::setCurrent(previous);
    EXPECT_EQ(setupIni(), pathOnly(app.file("old.mdb")));
    EXPECT_EQ(tables(), QStringList({"Orders", "People"}));
}

// A file argument that cannot be opened gives the settings window's messages; the window comes
// up all the same (without a database when the stored one was replaced) and takes a drop.
TEST_F(OpenDatabaseTest, BadFileArgumentsLeaveAUsableWindow)
{
    const QString first = database("first.mdb", jetwriter::Format::Jet4, {"Alpha"});
    const QString locked = database("locked.mdb", jetwriter::Format::Jet4, {"Secret"}, "right");
    const QString text = writeFile(app.file("notes.mdb"), QByteArray(8192, 'x'));
    QDir().mkdir(app.file("folder.mdb"));
    struct Case {
        const char* name;
        QString argument;
        QList<Message> boxes;
        QString storedPath;
        QStringList tablesShown;
    };
    const Case cases[] = {
        {"missing", app.file("gone.mdb"), {{app.file("gone.mdb") + " - does not exist!", MessageStyle::Critical, "Varnex"}},
         first, {"Alpha"}},
        {"a folder", app.file("folder.mdb"),
         {{app.file("folder.mdb") + " is a folder, not a database file.", MessageStyle::Critical, "Varnex"}}, first, {"Alpha"}},
        {"a device", "/dev/null",
         {{"/dev/null is not a database file (a device, a pipe or a socket).", MessageStyle::Critical, "Varnex"}}, first, {"Alpha"}},
        {"not an Access file", text,
         {{"Unrecognized database format '" + text + "'.", MessageStyle::Critical, "Init Globals"}}, text, {}},
        {"password-protected", locked, {{"Not a valid password.", MessageStyle::Critical, "Init Globals"}}, locked, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qDeleteAll(loadedWindows());
        boxes.clear();
        app.writeSetupIni(pathOnly(first));
        startApplication(showMainWindow, c.argument);
        EXPECT_EQ(boxes.calls(), c.boxes);
        EXPECT_EQ(setupIni(), pathOnly(c.storedPath));
        ASSERT_NE(mainWindow(), nullptr);
        EXPECT_TRUE(mainWindow()->isVisible());
        EXPECT_EQ(tables(), c.tablesShown);
        EXPECT_EQ(app.endProcessCount(), 0);

        EXPECT_TRUE(drop({QUrl::fromLocalFile(first)}));
        QApplication::processEvents();
        EXPECT_EQ(tables(), QStringList{"Alpha"});
    }
    // Without a Setup.ini to keep, a build run from its folder still ends as it always did.
    qDeleteAll(loadedWindows());
    boxes.clear();
    QFile::remove(app.file("Setup.ini"));
    startApplication(showMainWindow, app.file("gone.mdb"));
    EXPECT_EQ(boxes.calls().size(), 2);
    EXPECT_TRUE(boxes.calls().back().text.endsWith("Setup.ini file does not exist.  Aborting"));
    EXPECT_TRUE(loadedWindows().isEmpty());
    EXPECT_EQ(app.endProcessCount(), 1);
}

// Dropping files on the main window: the first local file opens, as if chosen in the settings
// window; what is no local file is not taken.
TEST_F(OpenDatabaseTest, DroppedFilesOpenTheFirst)
{
    const QString first = database("first.mdb", jetwriter::Format::Jet3, {"Alpha"});
    const QString second = database("second.accdb", jetwriter::Format::Ace2007, {"Gamma", "Delta"});
    const QString third = database("third.mdb", jetwriter::Format::Jet4, {"Omega"});
    const QString text = writeFile(app.file("notes.txt"), "just text, not a database\n");
    struct Case {
        const char* name;
        QList<QUrl> urls;
        bool accepted;
        QStringList tablesAfter;
        QString storedPath;
        QList<Message> boxes;
    };
    const Case cases[] = {
        {"one file", {QUrl::fromLocalFile(second)}, true, {"Delta", "Gamma"}, second, {}},
        {"several files", {QUrl::fromLocalFile(third), QUrl::fromLocalFile(second)}, true, {"Omega"}, third, {}},
        {"a web address, then a file", {QUrl("https://example.org/a.mdb"), QUrl::fromLocalFile(second)}, true,
         {"Delta", "Gamma"}, second, {}},
        {"a file that is no database", {QUrl::fromLocalFile(text)}, true, {"Alpha"}, text,
         {{"Unrecognized database format '" + text + "'.", MessageStyle::Critical, "Init Globals"}}},
        {"a file gone meanwhile", {QUrl::fromLocalFile(app.file("gone.mdb"))}, true, {"Alpha"}, first,
         {{app.file("gone.mdb") + " - does not exist!", MessageStyle::Critical, "Varnex"}}},
        {"web addresses only", {QUrl("https://example.org/a.mdb")}, false, {"Alpha"}, first, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qDeleteAll(loadedWindows());
        app.writeSetupIni(pathOnly(first));
        startApplication(showMainWindow);
        ASSERT_EQ(tables(), QStringList{"Alpha"});
        boxes.clear();

        EXPECT_EQ(drop(c.urls), c.accepted);
        EXPECT_EQ(tables(), QStringList{"Alpha"});  // the drop ends before the file opens
        QApplication::processEvents();
        EXPECT_EQ(tables(), c.tablesAfter);
        EXPECT_EQ(setupIni(), pathOnly(c.storedPath));
        EXPECT_EQ(boxes.calls(), c.boxes);
    }
}

// Another database opened while a table is shown, whether dropped, handed over by another start
// or chosen in the settings window: the grid lets the old database's table go, so that it never
// shows (nor exports) another database than the status line names. The same database opened
// again keeps the table shown, and the list names it.
TEST_F(OpenDatabaseTest, AnotherDatabaseTakesTheTableShownAway)
{
    const QString first = database("first.mdb", jetwriter::Format::Jet4, {"Alpha", "Beta"});
    const QString second = database("second.mdb", jetwriter::Format::Jet4, {"Alpha", "Gamma"});
    test::FileDialogStub files(std::nullopt);
    int handedOver = 0;
    const auto handOver = [&handedOver](const QString& path) {
        const int before = handedOver;
        std::atomic<bool> answered{false};
        std::thread otherStart([&] {
            EXPECT_TRUE(activateInstance(appTitle(), path).ok());
            answered = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return answered.load(); }, 15000));
        otherStart.join();
        EXPECT_TRUE(QTest::qWaitFor([&] { return handedOver > before; }, 15000));
    };
    const auto choose = [&files](const QString& path) {
        files.setAnswer(path);
        QTimer::singleShot(0, qApp, [] {
            if (auto* window = qobject_cast<SettingsDialog*>(QApplication::activeModalWidget())) {
                window->browseButton->click();
                window->close();
            }
        });
        mainWindow()->settingsButton->click();
    };
    const auto dropIt = [](const QString& path) {
        EXPECT_TRUE(drop({QUrl::fromLocalFile(path)}));
        QApplication::processEvents();
    };
    const struct {
        const char* name;
        std::function<void(const QString&)> open;
    } ways[] = {{"dropped", dropIt}, {"handed over", handOver}, {"chosen in Settings", choose}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        qDeleteAll(loadedWindows());
        boxes.clear();
        app.writeSetupIni(pathOnly(first));
        startApplication(showMainWindow);
        MainWindow* window = mainWindow();
        ASSERT_NE(window, nullptr);
        const std::function<void(const QString&)> opens = setOpenFileHandler({});
        setOpenFileHandler([&](const QString& path) {
            opens(path);
            ++handedOver;
        });
        window->tableList->setCurrentIndex(0);
        emit window->tableList->activated(0);
        ASSERT_NE(window->grid->recordset(), nullptr);

        way.open(first);
        EXPECT_NE(window->grid->recordset(), nullptr);
        EXPECT_EQ(window->tableList->currentText(), "Alpha");
        EXPECT_EQ(window->statusLine->rowCount->text(), "1 row");

        way.open(second);
        EXPECT_EQ(tables(), QStringList({"Alpha", "Gamma"}));
        EXPECT_EQ(window->grid->recordset(), nullptr);
        EXPECT_EQ(window->grid->model()->rowCount(), 0);
        EXPECT_EQ(window->tableList->currentIndex(), -1);
        EXPECT_EQ(window->statusLine->database->text(), "second.mdb");
        EXPECT_EQ(window->statusLine->rowCount->text(), "");
        window->exportButton->click();
        EXPECT_EQ(boxes.calls(), QList<Message>({{"No data to export!", MessageStyle::Critical, "Varnex"}}));
    }
}

// A file dropped or handed over reaches the window from the event loop, which a table load runs
// from inside: it opens once the load is over, and the table loaded from the other database
// then leaves the grid.
TEST_F(OpenDatabaseTest, AFileOpenedDuringALoadWaitsForIt)
{
    const QString first = database("first.mdb", jetwriter::Format::Jet4, {"Alpha"});
    const QString second = database("second.mdb", jetwriter::Format::Jet4, {"Gamma"});
    app.writeSetupIni(pathOnly(first));
    startApplication(showMainWindow);
    MainWindow* window = mainWindow();
    ASSERT_NE(window, nullptr);
    QStringList tablesDuringLoad;
    QTimer::singleShot(0, window, [window, second, &tablesDuringLoad] {
        openDatabaseFile(*window, second);
        tablesDuringLoad = tables();
    });
    window->tableList->setCurrentIndex(0);
    emit window->tableList->activated(0);
    EXPECT_EQ(tablesDuringLoad, QStringList({"Alpha"}));
    ASSERT_TRUE(QTest::qWaitFor([] { return tables() == QStringList({"Gamma"}); }, 15000));
    EXPECT_EQ(window->grid->recordset(), nullptr);
    EXPECT_EQ(window->tableList->currentIndex(), -1);
    EXPECT_EQ(window->statusLine->database->text(), "second.mdb");
    EXPECT_TRUE(boxes.calls().isEmpty());
}

// The Setup.ini that scripts/run.sh writes names the Jet 4.0 provider; an .accdb opens with it.
TEST_F(OpenDatabaseTest, AccdbOpensWithTheRunScriptsSetupIni)
{
    for (const jetwriter::Format format : {jetwriter::Format::Ace2007, jetwriter::Format::Ace2010}) {
        SCOPED_TRACE(static_cast<int>(format));
        qDeleteAll(loadedWindows());
        const QString path = database("demo.accdb", format, {"Customers", "Orders"});
        app.writeSetupIni(("[DataConnection]\r\nPath=" + path +
                           "\r\nConnectionString=Provider=Microsoft.Jet.OLEDB.4.0\r\n[Export]\r\nIncHeader=True\r\n")
                              .toUtf8());
        startApplication(showMainWindow);
        EXPECT_EQ(tables(), QStringList({"Customers", "Orders"}));
        EXPECT_TRUE(boxes.calls().isEmpty());
        EXPECT_EQ(app.endProcessCount(), 0);
    }
}

// Runs the events of this process until done says so or the time is up.
void runEventsUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

// A file handed over by another start is opened from the event loop once the main window has
// said how, and never while a modal window (a box, a dialog, a table loading) is open; of files
// handed over meanwhile, the newest wins.
TEST(HandOver, AFileWaitsForTheMainWindowAndForModalWindows)
{
    DesktopSandbox app;
    ASSERT_FALSE(anotherInstanceRuns());  // this process is the running instance
    int activations = 0;
    setActivationHandler([&] { ++activations; });
    QStringList opened;
    const auto handOver = [](const QString& file) {
        std::atomic<bool> answered{false};
        Status result;
        std::thread otherStart([&] {
            result = activateInstance(appTitle(), file);
            answered = true;
        });
        runEventsUntil([&] { return answered.load(); }, 15000);
        otherStart.join();
        return result;
    };

    // A request that never ends its line is cut off rather than kept growing.
    std::atomic<bool> cutOff{false};
    const QString socketPath = instanceLockPath(appTitle()).chopped(5) + ".sock";  // beside the lock
    std::thread flood([&] {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(5000)) {
            socket.write(QByteArray(256 * 1024, 'x'));
            socket.waitForBytesWritten(5000);
            cutOff = socket.waitForDisconnected(5000);
        }
    });
    runEventsUntil([&] { return cutOff.load(); }, 10000);
    flood.join();
    EXPECT_TRUE(cutOff);

    ASSERT_TRUE(handOver("/data/one.mdb").ok());
    runEventsUntil([] { return false; }, 300);
    EXPECT_TRUE(opened.isEmpty());
    setOpenFileHandler([&](const QString& path) { opened << path; });
    runEventsUntil([&] { return !opened.isEmpty(); }, 5000);
    EXPECT_EQ(opened, QStringList{"/data/one.mdb"});

    QDialog modal;
    modal.setModal(true);
    modal.show();
    ASSERT_TRUE(handOver("/data/two.mdb").ok());
    const QString odd = QString::fromUtf8("/data/n\u00e4me with\nline % end.accdb");
    ASSERT_TRUE(handOver(odd).ok());
    runEventsUntil([] { return false; }, 500);
    EXPECT_EQ(opened.size(), 1);
    modal.hide();
    runEventsUntil([&] { return opened.size() > 1; }, 5000);
    runEventsUntil([] { return false; }, 300);
    EXPECT_EQ(opened, QStringList({"/data/one.mdb", odd}));
    EXPECT_EQ(activations, 3);
    setActivationHandler({});
}

}  // namespace
}  // namespace varnex
