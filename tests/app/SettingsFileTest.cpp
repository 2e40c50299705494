#include "app/SettingsFile.h"
#include "support/AppSandbox.h"
#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(ReadSetting, TrimmedValueOrDefault)
{
    test::AppSandbox app;
    test::MessageRecorder boxes;
    app.writeSetupIni("[DataConnection]\r\nPath =  \" /data/Rilk.mdb \"  \r\nUser=\r\n");
    const QString ini = app.file("Setup.ini");
    EXPECT_EQ(readSetting(ini, "DataConnection", "Path", ""), "/data/Rilk.mdb");
    EXPECT_EQ(readSetting(ini, "DataConnection", "User", "Admin"), "");
    EXPECT_EQ(readSetting(ini, "DataConnection", "Password", " pw "), "pw");
    EXPECT_TRUE(boxes.calls().isEmpty());
}

TEST(ReadSetting, VanishedFileShowsABoxAndGivesTheDefaultUntouched)
{
    test::AppSandbox app;
    test::MessageRecorder boxes;
    const QString ini = app.file("Setup.ini");
    EXPECT_EQ(readSetting(ini, "Export", "IncHeader", " True "), " True ");
    EXPECT_EQ(boxes.calls(), (QList<Message>{{"Could not find '" + ini + "'", MessageStyle::Plain, "Varnex"}}));
}

}  // namespace
}  // namespace varnex
