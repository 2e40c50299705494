// The exit status of the real program for each way a start can go, run on an X server of
// the test's own with a user's hand closing whatever it shows: 0 for a normal close and for
// a second start that hands over to the running one; 1 for a start that fails (no
// Setup.ini, a database that cannot be opened) or ends in the start-up trap (a table list
// that cannot be read).

#include "VirtualDisplay.h"

#include "jetwriter/JetWriter.h"
#include "support/TempDir.h"
#include "support/Watchdog.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSet>

#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <map>

namespace varnex::test {
namespace {

using namespace std::chrono_literals;

constexpr int kPatienceMs = 60000;  // far beyond any start on a busy machine

QString binFolder()
{
    return qEnvironmentVariable("VARNEX_BIN_DIR");
}

// The program and its reader in a folder of their own, where its Setup.ini and log go.
class ProgramFolder {
public:
    ProgramFolder()
    {
        for (const char* program : {"varnex", "varnex-reader"}) {
            const QString from = binFolder() + "/" + program;
            const QString to = dir_.file(program);
            // A hard link where the file system allows: the program finds its folder through its own path.
            if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
                EXPECT_TRUE(QFile::copy(from, to)) << from.toStdString();
            }
        }
    }
    QString file(const QString& name) const { return dir_.file(name); }

    void writeSetupIni(const QString& databasePath) const
    {
        QFile ini(file("Setup.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(("[DataConnection]\r\nPath=" + databasePath + "\r\nConnectionString=Provider=Microsoft.Jet.OLEDB.4.0\r\n")
                      .toUtf8());
    }
    // A writer-made database with one table; cut to its first pages it loses its table list.
    QString writeDatabase(qint64 keepBytes = -1) const
    {
        jetwriter::Database db;
        db.tables.push_back({"Orders", {{"N", jetwriter::ColumnType::Long}}, {{int64_t{1}}, {int64_t{2}}}, {}});
        const QString path = file("Rilk.mdb");
        jetwriter::writeDatabase(db, path.toStdString());
        if (keepBytes >= 0)
            QFile::resize(path, keepBytes);
        return path;
    }

private:
    TempDir dir_;
};

class Program {
public:
    Program(const ProgramFolder& folder, const VirtualDisplay& display, const TempDir& runtime)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display.name());
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("XDG_RUNTIME_DIR", runtime.path());  // the single-instance guard of this test alone
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(folder.file("varnex"), {});
    }
    ~Program()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    // Until the program ends, closes each window it shows as a user would (when told to);
    // returns the exit status, or -1 when it did not end in time or crashed.
    int runToEnd(const VirtualDisplay& display, bool closeWindows, QStringList& titlesSeen)
    {
        QSet<uint32_t> seen;
        QElapsedTimer waited;
        waited.start();
        while (!process_.waitForFinished(100)) {
            if (waited.elapsed() > kPatienceMs)
                return -1;
            for (const VirtualDisplay::Window& window : display.shownWindows()) {
                if (!seen.contains(window.id))
                    titlesSeen << window.title;
                seen.insert(window.id);
                if (closeWindows)
                    display.requestClose(window.id);
            }
        }
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }

    bool waitForWindow(const VirtualDisplay& display, const QString& title)
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < kPatienceMs && process_.state() != QProcess::NotRunning) {
            for (const VirtualDisplay::Window& window : display.shownWindows())
                if (window.title == title)
                    return true;
            process_.waitForFinished(100);
        }
        return false;
    }

private:
    QProcess process_;
};

class ExitStatus : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFile::exists(binFolder() + "/varnex"))
            GTEST_SKIP() << "the program is not built in " << binFolder().toStdString();
        if (!display_.running())
            GTEST_SKIP() << "no X server could be started (Xvfb)";
    }

    VirtualDisplay display_;
    TempDir runtime_;
};

TEST_F(ExitStatus, EachStartPathEndsWithItsStatus)
{
    struct Case {
        const char* name;
        std::function<void(const ProgramFolder&)> prepare;
        int status;
        QStringList windows;  // titles of the windows shown, which the user closes
    };
    const Case cases[] = {
        {"normal close", [](const ProgramFolder& f) { f.writeSetupIni(f.writeDatabase()); }, 0, {"Varnex"}},
        {"no Setup.ini", [](const ProgramFolder&) {}, 1, {"Init Globals"}},
        {"database that cannot be opened",
         [](const ProgramFolder& f) {
             QFile junk(f.file("Rilk.mdb"));
             ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
             junk.write(QByteArray(8192, 'x'));
             f.writeSetupIni(f.file("Rilk.mdb"));
         },
         1, {"Init Globals"}},
        // The header is sound, so the connection opens; the table list is gone with the cut pages.
        {"start-up trap", [](const ProgramFolder& f) { f.writeSetupIni(f.writeDatabase(3 * 4096)); }, 1, {"Main"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Watchdog watchdog(std::string("the start ") + c.name, 180s);
        ProgramFolder folder;
        c.prepare(folder);
        Program program(folder, display_, runtime_);
        QStringList shown;
        EXPECT_EQ(program.runToEnd(display_, true, shown), c.status);
        EXPECT_EQ(shown, c.windows);
    }
}

TEST_F(ExitStatus, SecondStartHandsOverAndBothEndWithZero)
{
    const Watchdog watchdog("the hand-over", 180s);
    ProgramFolder first;
    first.writeSetupIni(first.writeDatabase());
    Program running(first, display_, runtime_);
    ASSERT_TRUE(running.waitForWindow(display_, "Varnex"));

    ProgramFolder second;  // no Setup.ini: reading it would show a box
    Program again(second, display_, runtime_);
    QStringList shownMeanwhile;
    EXPECT_EQ(again.runToEnd(display_, false, shownMeanwhile), 0);
    QStringList onScreen;
    for (const VirtualDisplay::Window& window : display_.shownWindows())
        onScreen << window.title;
    EXPECT_EQ(onScreen, QStringList{"Varnex"});  // the running one's window alone

    QStringList shown;
    EXPECT_EQ(running.runToEnd(display_, true, shown), 0);
}

}  // namespace
}  // namespace varnex::test
