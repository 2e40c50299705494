#include "app/GlobalSettings.h"
#include "app/WriteLog.h"
#include "platform/AnsiCodec.h"
#include "support/AppSandbox.h"
#include "support/MsgBoxRecorder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace varnex {
namespace {

using test::AppSandbox;

TEST(WriteLog, LineLayoutAndBoxAfterIt)
{
    AppSandbox app(QDateTime(QDate(2002, 7, 3), QTime(14, 3, 27)));
    test::MsgBoxRecorder boxes;
    WriteLog("Main", "x", true);
    WriteLog("Init Globals", "Data Connection Path not specifed.  Aborting", true);
    WriteLog("GridSortERROR: ", "Overflow", false);
    const QByteArray expected = "14:03:27                Main: x\r\n"
                                "14:03:27        Init Globals: Data Connection Path not specifed.  Aborting\r\n"
                                "14:03:27     GridSortERROR: : Overflow\r\n";
    EXPECT_EQ(AppSandbox::readFile(app.file("20020703.log")), expected);
    for (const QByteArray& line : expected.split('\n')) {
        if (!line.isEmpty()) {
            EXPECT_EQ(line.mid(28, 2), ": ") << line.constData();  // the colon stands in column 29
        }
    }
    EXPECT_EQ(boxes.calls(), (QList<MsgBoxCall>{{"x", 16, "Main"},
                                                {"Data Connection Path not specifed.  Aborting", 16, "Init Globals"}}));
}

TEST(WriteLog, DayFileAppendsAndFollowsTheDate)
{
    AppSandbox app(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59)));
    test::MsgBoxRecorder boxes;
    {
        QFile f(app.file("20241231.log"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier\r\n");
    }
    WriteLog("Main", "a", true);
    app.setNow(QDateTime(QDate(2025, 1, 1), QTime(0, 0, 0)));
    WriteLog("Main", "b", true);
    EXPECT_EQ(AppSandbox::readFile(app.file("20241231.log")), "earlier\r\n23:59:59                Main: a\r\n");
    EXPECT_EQ(AppSandbox::readFile(app.file("20250101.log")), "00:00:00                Main: b\r\n");
}

TEST(WriteLog, LogFolderIsMadeWhenMissing)
{
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    Globals().gLogDir = app.file("Logs/deep/er");  // no trailing "/"
    WriteLog("Main", "m", true);
    EXPECT_EQ(AppSandbox::readFile(app.file("Logs/deep/er/20020703.log")), "09:05:03                Main: m\r\n");
    EXPECT_EQ(boxes.calls(), (QList<MsgBoxCall>{{"m", 16, "Main"}}));
}

TEST(WriteLog, UnmakeableFolderFallsBackToTheApplicationFolder)
{
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    QFile(app.file("blocker")).open(QIODevice::WriteOnly);
    Globals().gLogDir = app.file("blocker/logs");
    WriteLog("LoadTableError", "gone", true);
    EXPECT_EQ(AppSandbox::readFile(app.file("20020703.log")), "09:05:03      LoadTableError: gone\r\n");
    EXPECT_EQ(boxes.calls(), (QList<MsgBoxCall>{{"Path/File access error", 0, "Varnex"}, {"gone", 16, "LoadTableError"}}));
}

TEST(WriteLog, UnwritableFileShowsOnlyTheReason)
{
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    QDir(app.path()).mkdir("20020703.log");  // a folder where the file should be
    WriteLog("Main", "lost", true);
    WriteLog("Main", "lost quietly", false);
    EXPECT_EQ(boxes.calls(), (QList<MsgBoxCall>{{"Path/File access error", 0, "Varnex"}}));
}

TEST(WriteLog, TextGoesThroughTheCodePage)
{
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    SetAnsiCodeSetForTesting("ISO-8859-1");
    WriteLog("Main", QString::fromUtf8("Zoë €"), false);
    SetAnsiCodeSetForTesting({});
    EXPECT_EQ(AppSandbox::readFile(app.file("20020703.log")), "09:05:03                Main: Zo\xEB ?\r\n");
}

}  // namespace
}  // namespace varnex
