#include "app/ReadIniString.h"
#include "support/AppSandbox.h"
#include "support/MsgBoxRecorder.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(ReadIniString, TrimmedValueOrDefault)
{
    test::AppSandbox app;
    test::MsgBoxRecorder boxes;
    app.writeSetupIni("[DataConnection]\r\nPath =  \" /data/Rilk.mdb \"  \r\nUser=\r\n");
    const QString ini = app.file("Setup.ini");
    EXPECT_EQ(ReadIniString(ini, "DataConnection", "Path", ""), "/data/Rilk.mdb");
    EXPECT_EQ(ReadIniString(ini, "DataConnection", "User", "Admin"), "");
    EXPECT_EQ(ReadIniString(ini, "DataConnection", "Password", " pw "), "pw");
    EXPECT_TRUE(boxes.calls().isEmpty());
}

TEST(ReadIniString, VanishedFileShowsABoxAndGivesTheDefaultUntouched)
{
    test::AppSandbox app;
    test::MsgBoxRecorder boxes;
    const QString ini = app.file("Setup.ini");
    EXPECT_EQ(ReadIniString(ini, "Export", "IncHeader", " True "), " True ");
    EXPECT_EQ(boxes.calls(), (QList<MsgBoxCall>{{"Could not find '" + ini + "'", 0, "Varnex"}}));
}

}  // namespace
}  // namespace varnex
