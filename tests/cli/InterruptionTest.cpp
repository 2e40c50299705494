// On a terminal: a progress line on standard error, and Ctrl+C or a request to end leave no
// partial file behind.

#include "TestDatabases.h"
#include "VarnexProcess.h"
#include "support/TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

namespace varnex::test {
namespace {

// A pseudo-terminal whose far end the test reads.
class Terminal {
public:
    Terminal() : master_(posix_openpt(O_RDWR | O_NOCTTY))
    {
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            name_ = QString::fromLocal8Bit(ptsname(master_));
    }
    ~Terminal()
    {
        if (master_ >= 0)
            ::close(master_);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    const QString& name() const { return name_; }

    // Reads what arrived until the text holds `wanted` or the time is up.
    bool readUntil(const QByteArray& wanted, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (!text_.contains(wanted) && clock.elapsed() < timeoutMs)
            readChunk(50);
        return text_.contains(wanted);
    }
    // Reads what arrives until the terminal has been quiet for ms.
    void readFor(int ms)
    {
        while (readChunk(ms)) {
        }
    }
    // False when nothing came within ms.
    bool readChunk(int ms)
    {
        pollfd watch{master_, POLLIN, 0};
        if (poll(&watch, 1, ms) <= 0 || !(watch.revents & POLLIN))
            return false;
        char buffer[4096];
        const ssize_t got = ::read(master_, buffer, sizeof buffer);
        if (got > 0)
            text_.append(buffer, got);
        return got > 0;
    }
    const QByteArray& text() const { return text_; }

private:
    int master_;
    QString name_;
    QByteArray text_;
};

TEST(OnATerminal, ProgressShowsAndAnInterruptionLeavesNoFile)
{
    TempDir work;
    WriteDatabase(work.file("db.mdb"), {ManyRows("Many", 300000)});
    struct Case {
        const char* name;
        QStringList options;
        int signal;  // 0: none
        int status;
        QByteArray ending;  // of what the terminal shows
    };
    const Case cases[] = {
        {"Ctrl+C", {}, SIGINT, 128 + SIGINT, "\r\033[K"},
        {"a request to end", {}, SIGTERM, 128 + SIGTERM, "\r\033[K"},
        {"a failure: the line gives way to the message", {"--sort", "Nope"}, 0, 1,
         "\033[K\r\033[Kvarnex: db.mdb: table 'Many': Item cannot be found in the collection corresponding to the "
         "requested name or ordinal. (--sort \"Nope\")\r\n"},
        {"to the end", {}, 0, 0, "\033[K\r\033[K"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Terminal terminal;
        ASSERT_FALSE(terminal.name().isEmpty());
        QProcess process;
        process.setProcessEnvironment(headlessEnvironment({"LC_ALL=C.UTF-8"}, work.path()));
        process.setWorkingDirectory(work.path());
        process.setStandardErrorFile(terminal.name(), QIODevice::Append);
        process.start(varnexPath(), QStringList{"export", "db.mdb", "Many", "-o", "out.csv"} + c.options);
        ASSERT_TRUE(process.waitForStarted());

        // The line names the table and counts rows as they are read, once the reader has given the
        // table's row count (a slow machine may show "0 of 0" first). The terminal ends lines in CR LF.
        EXPECT_TRUE(terminal.readUntil(" of 300000 rows", 30000)) << terminal.text().constData();
        EXPECT_TRUE(terminal.text().contains("Many: reading ")) << terminal.text().constData();
        if (c.signal)
            ::kill(static_cast<pid_t>(process.processId()), c.signal);
        EXPECT_TRUE(process.waitForFinished(30000));
        terminal.readFor(100);
        const int status = process.exitStatus() == QProcess::CrashExit ? 128 + process.exitCode() : process.exitCode();
        EXPECT_EQ(status, c.status);
        EXPECT_TRUE(terminal.text().endsWith(c.ending)) << terminal.text().toStdString();

        const QStringList expectedFiles = c.status == 0 ? QStringList{"db.mdb", "out.csv"} : QStringList{"db.mdb"};
        EXPECT_EQ(QDir(work.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expectedFiles);
        if (c.status == 0) {
            QFile out(work.file("out.csv"));
            ASSERT_TRUE(out.open(QIODevice::ReadOnly));
            EXPECT_TRUE(out.readAll().endsWith("300000,\"line number 300000\"\r\n"));
            out.close();
            QFile::remove(work.file("out.csv"));
        }
    }
}

}  // namespace
}  // namespace varnex::test
