#include "shell/SingleInstance.h"
#include "support/DesktopSandbox.h"

#include <jetwriter/JetWriter.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace varnex {
namespace {

using test::DesktopSandbox;

QString probePath()
{
    const QString bin = qEnvironmentVariable("VARNEX_BIN_DIR", QCoreApplication::applicationDirPath());
    return bin + "/instance_probe";
}

// A title of its own for each test run, so parallel runs and a real Varnex do not meet, with
// the guard files in a folder of their own.
QString uniqueTitle(const char* name)
{
    return QStringLiteral("VarnexTest-%1-%2").arg(name).arg(QCoreApplication::applicationPid());
}

const test::TempDir& guardFolder()
{
    static test::TempDir folder;
    return folder;
}

class Probe {
public:
    Probe(const QString& title, const QString& appDir, const QStringList& more = {}, const QString& workingDir = {})
    {
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        if (!workingDir.isEmpty())
            process_.setWorkingDirectory(workingDir);
        process_.start(probePath(), QStringList{title, appDir, guardFolder().path()} + more);
    }
    ~Probe()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    // Waits until the probe has said line (or ended, or time ran out).
    bool waitFor(const QString& line, int timeoutMs = 15000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!output_.contains(line)) {
            if (timer.elapsed() > timeoutMs)
                return false;
            process_.waitForReadyRead(100);
            output_ += QString::fromLocal8Bit(process_.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
            if (process_.state() == QProcess::NotRunning && process_.bytesAvailable() == 0)
                return output_.contains(line);
        }
        return true;
    }
    // Waits until the probe has said count lines in all (or ended, or time ran out).
    bool waitForLines(qsizetype count, int timeoutMs = 15000)
    {
        QElapsedTimer timer;
        timer.start();
        while (output_.size() < count && timer.elapsed() < timeoutMs
               && (process_.state() != QProcess::NotRunning || process_.bytesAvailable() > 0)) {
            process_.waitForReadyRead(100);
            output_ += QString::fromLocal8Bit(process_.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        }
        return output_.size() >= count;
    }
    bool waitForEnd(int timeoutMs = 15000)
    {
        const bool ended = process_.waitForFinished(timeoutMs);
        output_ += QString::fromLocal8Bit(process_.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        return ended;
    }
    void crash()
    {
        process_.kill();  // SIGKILL: nothing of the guard is tidied up
        process_.waitForFinished(5000);
    }
    int exitCode() const { return process_.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return process_.exitStatus(); }
    const QStringList& output() const { return output_; }

private:
    QProcess process_;
    QStringList output_;
};

QByteArray settingsWithoutDatabase() { return "[DataConnection]\r\nPath=\r\n"; }

TEST(SingleInstance, SecondStartHandsOverAndEnds)
{
    ASSERT_TRUE(QFile::exists(probePath())) << probePath().toStdString();
    const QString title = uniqueTitle("handover");
    DesktopSandbox first, second;
    first.writeSetupIni(settingsWithoutDatabase());

    Probe running(title, first.path());
    ASSERT_TRUE(running.waitFor("shown")) << running.output().join('\n').toStdString();

    Probe again(title, second.path());  // no Setup.ini there: reading it would log and show a box
    ASSERT_TRUE(again.waitForEnd());
    EXPECT_EQ(again.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(again.exitCode(), 0);
    EXPECT_TRUE(again.output().isEmpty()) << again.output().join('\n').toStdString();
    EXPECT_TRUE(QDir(second.path()).entryList(QDir::Files).isEmpty());  // no log written

    EXPECT_TRUE(running.waitFor("activated"));
}

TEST(SingleInstance, CrashedInstanceDoesNotBlockTheNextStart)
{
    const QString title = uniqueTitle("crash");
    DesktopSandbox app;
    app.writeSetupIni(settingsWithoutDatabase());
    {
        Probe crashing(title, app.path());
        ASSERT_TRUE(crashing.waitFor("shown"));
        crashing.crash();
    }
    Probe next(title, app.path());
    EXPECT_TRUE(next.waitFor("shown")) << next.output().join('\n').toStdString();

    // And the one that took over answers the next start in turn.
    DesktopSandbox other;
    Probe third(title, other.path());
    ASSERT_TRUE(third.waitForEnd());
    EXPECT_TRUE(third.output().isEmpty());
    EXPECT_TRUE(next.waitFor("activated"));
}

QString writeDatabase(const QString& path, jetwriter::Format format, const std::vector<std::string>& tables)
{
    jetwriter::Database db;
    db.format = format;
    for (const std::string& name : tables)
        db.tables.push_back({name, {{"N", jetwriter::ColumnType::Long}}, {{int64_t{1}}}, {}});
    jetwriter::writeDatabase(db, path.toStdString());
    return path;
}

// "varnex FILE" while a window runs: the second start hands the file over and ends at once; the
// running window stores it, reopens and refills its table list, or shows why it cannot.
TEST(SingleInstance, SecondStartWithAFileSwitchesTheRunningWindowsDatabase)
{
    const QString title = uniqueTitle("open");
    DesktopSandbox first, second;
    const QString alpha = writeDatabase(first.file("alpha.mdb"), jetwriter::Format::Jet4, {"Alpha", "Beta"});
    const QString gamma = writeDatabase(second.file("gamma.accdb"), jetwriter::Format::Ace2010, {"Gamma"});
    const QString notes = second.file("notes.mdb");
    {
        QFile file(notes);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, 'n'));
    }
    first.writeSetupIni(("[DataConnection]\r\nPath=" + alpha + "\r\n").toUtf8());
    Probe running(title, first.path(), {"--main-window"});
    ASSERT_TRUE(running.waitFor("tables|Alpha,Beta")) << running.output().join('\n').toStdString();

    struct Case {
        const char* name;
        QString argument, workingDir;
        QStringList runningSays;
        QString storedPath;
    };
    const QString gone = second.file("gone.mdb");
    const Case cases[] = {
        {"an accdb", gamma, {}, {"activated", "tables|Gamma"}, gamma},
        {"a missing file", gone, {}, {"activated", "box|" + gone + " - does not exist!|Critical|" + title, "tables|Gamma"}, gamma},
        {"no Access file",
         notes,
         {},
         {"activated", "box|Unrecognized database format '" + notes + "'.|Critical|Init Globals", "tables|Gamma"},
         notes},
        {"a name relative to the second start's folder", "alpha.mdb", first.path(), {"activated", "tables|Alpha,Beta"},
         alpha},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qsizetype before = running.output().size();
        Probe again(title, second.path(), {"--main-window", c.argument}, c.workingDir);
        ASSERT_TRUE(again.waitForEnd());
        EXPECT_EQ(again.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(again.exitCode(), 0);
        EXPECT_TRUE(again.output().isEmpty()) << again.output().join('\n').toStdString();
        ASSERT_TRUE(running.waitForLines(before + c.runningSays.size())) << running.output().join('\n').toStdString();
        EXPECT_EQ(running.output().mid(before), c.runningSays);
        EXPECT_EQ(DesktopSandbox::readFile(first.file("Setup.ini")), ("[DataConnection]\r\nPath=" + c.storedPath + "\r\n").toUtf8());
    }
    EXPECT_FALSE(QFile::exists(second.file("Setup.ini")));  // the second start stored nothing
}

// The lock held (as by an instance that hangs) but no one answering: the hand-over fails, which
// is logged under "Main" in the application folder and shown, and the second start ends.
TEST(SingleInstance, FailedHandOverIsLoggedUnderMain)
{
    const QString title = uniqueTitle("nobody");
    DesktopSandbox app;
    app.writeSetupIni(settingsWithoutDatabase());
    {
        // An instance that crashed leaves its socket behind; then the lock is held by us.
        Probe owner(title, app.path());
        ASSERT_TRUE(owner.waitFor("shown"));
        owner.crash();
    }
    const QString lockPath = [&] {
        setInstanceGuardFolderForTesting(guardFolder().path());
        return instanceLockPath(title);
    }();
    const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);

    DesktopSandbox second;
    Probe again(title, second.path());
    ASSERT_TRUE(again.waitForEnd());
    ::close(fd);
    const QString message = "Invalid procedure call or argument 5";
    EXPECT_EQ(again.output(), QStringList{"box|" + message + "|Critical|Main"});
    const QByteArray log = DesktopSandbox::readFile(second.path() + "/" + QDate::currentDate().toString("yyyyMMdd") + ".log");
    EXPECT_TRUE(log.endsWith("                Main: " + message.toUtf8() + "\r\n")) << log.constData();
}

}  // namespace
}  // namespace varnex
