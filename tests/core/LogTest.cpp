#include "core/LocaleCodec.h"
#include "core/Log.h"
#include "support/AppSandbox.h"
#include "support/MessageRecorder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace varnex {
namespace {

using test::AppSandbox;

// Records what the log hands to its failure handler, for the lifetime of the recorder.
class LogFailures {
public:
    LogFailures() : previous_(setLogFailureHandler([this](const Error& failure) { texts_ << failure.description; })) {}
    ~LogFailures() { setLogFailureHandler(previous_); }
    LogFailures(const LogFailures&) = delete;
    LogFailures& operator=(const LogFailures&) = delete;

    const QStringList& texts() const { return texts_; }

private:
    QStringList texts_;
    LogFailureHandler previous_;
};

TEST(Log, LineLayoutAndBoxAfterIt)
{
    AppSandbox app(QDateTime(QDate(2002, 7, 3), QTime(14, 3, 27)));
    test::MessageRecorder boxes;
    writeLog("Main", "x", true);
    writeLog("Init Globals", "Data Connection Path not specifed.  Aborting", true);
    writeLog("GridSortERROR: ", "Overflow", false);
    const QByteArray expected = "14:03:27                Main: x\r\n"
                                "14:03:27        Init Globals: Data Connection Path not specifed.  Aborting\r\n"
                                "14:03:27     GridSortERROR: : Overflow\r\n";
    EXPECT_EQ(AppSandbox::readFile(app.file("20020703.log")), expected);
    for (const QByteArray& line : expected.split('\n')) {
        if (!line.isEmpty()) {
            EXPECT_EQ(line.mid(28, 2), ": ") << line.constData();  // the colon stands in column 29
        }
    }
    EXPECT_EQ(boxes.calls(), (QList<Message>{{"x", MessageStyle::Critical, "Main"},
                                                {"Data Connection Path not specifed.  Aborting", MessageStyle::Critical, "Init Globals"}}));
}

TEST(Log, DayFileAppendsAndFollowsTheDate)
{
    AppSandbox app(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59)));
    test::MessageRecorder boxes;
    {
        QFile f(app.file("20241231.log"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier\r\n");
    }
    writeLog("Main", "a", true);
    app.setNow(QDateTime(QDate(2025, 1, 1), QTime(0, 0, 0)));
    writeLog("Main", "b", true);
    EXPECT_EQ(AppSandbox::readFile(app.file("20241231.log")), "earlier\r\n23:59:59                Main: a\r\n");
    EXPECT_EQ(AppSandbox::readFile(app.file("20250101.log")), "00:00:00                Main: b\r\n");
}

TEST(Log, LogFolderIsMadeWhenMissing)
{
    AppSandbox app;
    test::MessageRecorder boxes;
    LogFailures failures;
    setLogFolder(app.file("Logs/deep/er"));  // no trailing "/"
    writeLog("Main", "m", true);
    EXPECT_EQ(AppSandbox::readFile(app.file("Logs/deep/er/20020703.log")), "09:05:03                Main: m\r\n");
    EXPECT_EQ(boxes.calls(), (QList<Message>{{"m", MessageStyle::Critical, "Main"}}));
    EXPECT_TRUE(failures.texts().isEmpty());
}

TEST(Log, UnmakeableFolderFallsBackToTheApplicationFolder)
{
    AppSandbox app;
    test::MessageRecorder boxes;
    LogFailures failures;
    QFile(app.file("blocker")).open(QIODevice::WriteOnly);
    setLogFolder(app.file("blocker/logs"));
    writeLog("LoadTableError", "gone", true);
    EXPECT_EQ(AppSandbox::readFile(app.file("20020703.log")), "09:05:03      LoadTableError: gone\r\n");
    EXPECT_EQ(failures.texts(), QStringList{"Path/File access error"});
    EXPECT_EQ(boxes.calls(), (QList<Message>{{"gone", MessageStyle::Critical, "LoadTableError"}}));
}

TEST(Log, UnwritableFileShowsOnlyTheReason)
{
    AppSandbox app;
    test::MessageRecorder boxes;
    LogFailures failures;
    QDir(app.path()).mkdir("20020703.log");  // a folder where the file should be
    writeLog("Main", "lost", true);
    writeLog("Main", "lost quietly", false);
    EXPECT_EQ(failures.texts(), QStringList{"Path/File access error"});
    EXPECT_TRUE(boxes.calls().isEmpty());
}

TEST(Log, TextGoesThroughTheCodePage)
{
    AppSandbox app;
    test::MessageRecorder boxes;
    setLocaleCodeSetForTesting("ISO-8859-1");
    writeLog("Main", QString::fromUtf8("Zoë €"), false);
    setLocaleCodeSetForTesting({});
    EXPECT_EQ(AppSandbox::readFile(app.file("20020703.log")), "09:05:03                Main: Zo\xEB ?\r\n");
}

}  // namespace
}  // namespace varnex
