// On a terminal: a progress line on standard error, and Ctrl+C or a request to end leave no
// partial file behind, of an export or a conversion.

#include "Terminal.h"
#include "TestDatabases.h"
#include "VarnexProcess.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

namespace varnex::test {
namespace {

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
        QStringList command = {"export", "db.mdb", "Many", "-o", "out.csv"};
    };
    const QStringList convert = {"convert", "db.mdb", "out.csv", "--tables", "Many"};
    const Case cases[] = {
        {"Ctrl+C", {}, SIGINT, 128 + SIGINT, "\r\033[K"},
        {"a request to end", {}, SIGTERM, 128 + SIGTERM, "\r\033[K"},
        {"a failure: the line gives way to the message", {"--sort", "Nope"}, 0, 1,
         "\033[K\r\033[Kvarnex: db.mdb: table 'Many': --sort \"Nope\": the table has no column 'Nope'\r\n"},
        {"to the end", {}, 0, 0, "\033[K\r\033[K"},
        {"Ctrl+C while converting", {}, SIGINT, 128 + SIGINT, "\r\033[K", convert},
        {"converting to the end", {}, 0, 0, "\033[K\r\033[K", convert},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Terminal terminal;
        ASSERT_FALSE(terminal.name().isEmpty());
        QProcess process;
        process.setStandardErrorFile(terminal.name(), QIODevice::Append);
        startVarnex(process, c.command + c.options, work.path());
        ASSERT_TRUE(process.waitForStarted());

        // The line names the table and counts rows as they are read, once the reader has given the
        // table's row count (a slow machine may show "0 of 0" first). The terminal ends lines in CR LF.
        EXPECT_TRUE(terminal.readUntil(" of 300000 rows", 30000)) << terminal.text().constData();
        EXPECT_TRUE(terminal.text().contains("Many: reading ")) << terminal.text().constData();
        if (c.signal)
            ::kill(static_cast<pid_t>(process.processId()), c.signal);
        EXPECT_TRUE(process.waitForFinished(30000));
        terminal.readFor(100);
        EXPECT_EQ(shellStatus(process), c.status);
        EXPECT_TRUE(terminal.text().endsWith(c.ending)) << terminal.text().toStdString();

        const QStringList expectedFiles = c.status == 0 ? QStringList{"db.mdb", "out.csv"} : QStringList{"db.mdb"};
        EXPECT_EQ(QDir(work.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expectedFiles);
        if (c.status == 0 && c.command.front() == u"export") {
            QFile out(work.file("out.csv"));
            ASSERT_TRUE(out.open(QIODevice::ReadOnly));
            EXPECT_TRUE(out.readAll().endsWith("300000,\"line number 300000\"\r\n"));
            out.close();
        }
        QFile::remove(work.file("out.csv"));
    }
}

}  // namespace
}  // namespace varnex::test
