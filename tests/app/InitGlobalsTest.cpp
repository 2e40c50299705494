#include "app/GlobalSettings.h"
#include "app/InitGlobals.h"
#include "platform/data/Connection.h"
#include "support/AppSandbox.h"
#include "support/MsgBoxRecorder.h"

#include <jetwriter/JetWriter.h>

#include <QFile>

#include <gtest/gtest.h>

namespace varnex {
namespace {

using test::AppSandbox;

QString makeDatabase(const AppSandbox& app, const QString& name, jetwriter::Format format,
                     std::optional<std::string> password = std::nullopt)
{
    jetwriter::Database db;
    db.format = format;
    db.password = std::move(password);
    db.tables.push_back({"Customers", {{"Name", jetwriter::ColumnType::Text, 50}}, {{std::string("Ann")}}, {}});
    const QString path = app.file(name);
    jetwriter::writeDatabase(db, path.toStdString());
    return path;
}

QByteArray ini(const QString& body) { return body.toUtf8(); }

TEST(InitGlobals, MissingSetupIniIsLoggedInTheApplicationFolder)
{
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    EXPECT_FALSE(InitGlobals());
    const QString message = app.file("Setup.ini") + " file does not exist.  Aborting";
    EXPECT_EQ(boxes.calls(), (QList<MsgBoxCall>{{message, 16, "Init Globals"}}));
    EXPECT_EQ(AppSandbox::readFile(app.logFile()), "09:05:03        Init Globals: " + message.toUtf8() + "\r\n");
    EXPECT_EQ(Globals().gIniFile, app.file("Setup.ini"));
    EXPECT_TRUE(Globals().gLogDir.isEmpty());
    EXPECT_FALSE(Globals().gConn);
}

TEST(InitGlobals, DefaultsWithOnlyTheDataConnection)
{
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    const QString db = makeDatabase(app, "Rilk.mdb", jetwriter::Format::Jet3);
    app.writeSetupIni(ini("[DataConnection]\r\nPath=" + db + "\r\n"));
    ASSERT_TRUE(InitGlobals());
    const GlobalSettings& g = Globals();
    EXPECT_EQ(g.gLogDir, app.path() + "/Log/");
    EXPECT_EQ(g.gDataPath, db);
    EXPECT_EQ(g.gUser, "Admin");
    EXPECT_EQ(g.gPassword, "");
    EXPECT_EQ(g.gIncHeader, -1);
    ASSERT_TRUE(g.gConn);
    EXPECT_EQ(g.gConn->State(), 1);
    EXPECT_EQ(g.gConn->ConnectionString(), "Provider=Microsoft.Jet.OLEDB.3.51");
    EXPECT_TRUE(boxes.calls().isEmpty());
    EXPECT_FALSE(QFile::exists(app.logFile()));
}

TEST(InitGlobals, EveryKeyIsReadAndTrimmed)
{
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    const QString db = makeDatabase(app, "Rilk.mdb", jetwriter::Format::Jet4, "secret");
    app.writeSetupIni(ini("[General]\r\nLogDir = " + app.file("logs") + "\r\n[DataConnection]\r\nPath=   " + db +
                          "   \r\nUser= admin \r\nPassword=secret\r\nConnectionString=Provider=Microsoft.Jet.OLEDB.4.0\r\n"
                          "[Export]\r\nIncHeader=False\r\n"));
    ASSERT_TRUE(InitGlobals());
    const GlobalSettings& g = Globals();
    EXPECT_EQ(g.gLogDir, app.file("logs"));
    EXPECT_EQ(g.gDataPath, db);
    EXPECT_EQ(g.gUser, "admin");
    EXPECT_EQ(g.gPassword, "secret");
    EXPECT_EQ(g.gIncHeader, 0);
    ASSERT_TRUE(g.gConn);
    EXPECT_EQ(g.gConn->State(), 1);
    EXPECT_TRUE(boxes.calls().isEmpty());
}

TEST(InitGlobals, IncHeaderValues)
{
    AppSandbox app;
    const QString db = makeDatabase(app, "Rilk.mdb", jetwriter::Format::Jet3);
    const std::vector<std::pair<QString, std::optional<int16_t>>> cases = {
        {"false", 0}, {"FALSE", 0}, {"0", 0}, {"true", -1}, {"-1", -1}, {"True", -1},
        {"yes", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(value.toStdString());
        test::MsgBoxRecorder boxes;
        QFile::remove(app.logFile(app.path() + "/Log"));
        app.writeSetupIni(ini("[DataConnection]\r\nPath=" + db + "\r\n[Export]\r\nIncHeader=" + value + "\r\n"));
        const std::shared_ptr<Connection> before = Globals().gConn;
        Globals().gIncHeader = 7;
        if (expected) {
            EXPECT_TRUE(InitGlobals());
            EXPECT_EQ(Globals().gIncHeader, *expected);
            EXPECT_TRUE(boxes.calls().isEmpty());
        } else {
            EXPECT_FALSE(InitGlobals());
            EXPECT_EQ(Globals().gIncHeader, 7);
            EXPECT_EQ(boxes.calls(), (QList<MsgBoxCall>{{"Type mismatch", 16, "Init Globals"}}));
            EXPECT_EQ(AppSandbox::readFile(app.logFile(app.path() + "/Log")),
                      "09:05:03        Init Globals: Type mismatch\r\n");
            // The connection of the previous run is left as it was.
            EXPECT_EQ(Globals().gConn, before);
            ASSERT_TRUE(before);
            EXPECT_EQ(before->State(), 1);
        }
    }
}

TEST(InitGlobals, PathProblems)
{
    AppSandbox app;
    {
        test::MsgBoxRecorder boxes;
        app.writeSetupIni(ini("[DataConnection]\r\nPath=" + app.file("gone.mdb") + "\r\n"));
        EXPECT_TRUE(InitGlobals());
        EXPECT_EQ(boxes.calls(),
                  (QList<MsgBoxCall>{{"Could not find Rilk.mdb. Path = '" + app.file("gone.mdb") + "'.", 16, "Varnex"}}));
        EXPECT_EQ(Globals().gDataPath, "");
        EXPECT_FALSE(Globals().gConn);
        EXPECT_FALSE(QFile::exists(app.logFile(app.path() + "/Log")));
    }
    {
        test::MsgBoxRecorder boxes;
        app.writeSetupIni(ini("[DataConnection]\r\nUser=Admin\r\n"));
        EXPECT_TRUE(InitGlobals());
        EXPECT_EQ(boxes.calls(),
                  (QList<MsgBoxCall>{{"Data Connection Path not specifed.  Aborting", 16, "Init Globals"}}));
        EXPECT_EQ(AppSandbox::readFile(app.logFile(app.path() + "/Log")),
                  "09:05:03        Init Globals: Data Connection Path not specifed.  Aborting\r\n");
        EXPECT_FALSE(Globals().gConn);
        EXPECT_EQ(Globals().gIncHeader, -1);
    }
}

TEST(InitGlobals, RerunReplacesTheConnection)
{
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    const QString db = makeDatabase(app, "Rilk.mdb", jetwriter::Format::Jet3);
    app.writeSetupIni(ini("[DataConnection]\r\nPath=" + db + "\r\n"));
    ASSERT_TRUE(InitGlobals());
    const std::shared_ptr<Connection> first = Globals().gConn;
    ASSERT_TRUE(InitGlobals());
    EXPECT_EQ(first->State(), 0);
    ASSERT_TRUE(Globals().gConn);
    EXPECT_NE(Globals().gConn, first);
    EXPECT_EQ(Globals().gConn->State(), 1);

    // A run that ends without a database leaves no connection.
    QFile::remove(db);
    const std::shared_ptr<Connection> second = Globals().gConn;
    EXPECT_TRUE(InitGlobals());
    EXPECT_FALSE(Globals().gConn);
    EXPECT_EQ(second->State(), 0);
}

TEST(InitGlobals, FallsBackToThePlainJet4Provider)
{
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    const QString jet4 = makeDatabase(app, "four.mdb", jetwriter::Format::Jet4);
    const QString jet3 = makeDatabase(app, "three.mdb", jetwriter::Format::Jet3);
    struct Case {
        QString path, connectionString;
        QString finalString;
    };
    const std::vector<Case> cases = {
        {jet4, "", "Provider=Microsoft.Jet.OLEDB.4.0"},  // 3.51 reads no Jet 4 file
        {jet4, "Provider=Microsoft.Jet.OLEDB.3.51;Mode=Read", "Provider=Microsoft.Jet.OLEDB.4.0"},
        {jet3, "Provider=Nowhere.1", "Provider=Microsoft.Jet.OLEDB.4.0"},
        {jet3, "Provider=microsoft.jet.oledb.4.0;Mode=Read", "Provider=microsoft.jet.oledb.4.0;Mode=Read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.connectionString.toStdString());
        QString body = "[DataConnection]\r\nPath=" + c.path + "\r\n";
        if (!c.connectionString.isEmpty())
            body += "ConnectionString=" + c.connectionString + "\r\n";
        app.writeSetupIni(ini(body));
        ASSERT_TRUE(InitGlobals());
        ASSERT_TRUE(Globals().gConn);
        EXPECT_EQ(Globals().gConn->State(), 1);
        EXPECT_EQ(Globals().gConn->ConnectionString(), c.finalString);
    }
    EXPECT_TRUE(boxes.calls().isEmpty());
}

TEST(InitGlobals, BothOpeningsFailing)
{
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    const QString db = makeDatabase(app, "locked.mdb", jetwriter::Format::Jet4, "right");
    app.writeSetupIni(ini("[DataConnection]\r\nPath=" + db + "\r\nPassword=wrong\r\n"));
    EXPECT_FALSE(InitGlobals());
    EXPECT_EQ(boxes.calls(), (QList<MsgBoxCall>{{"Not a valid password.", 16, "Init Globals"}}));
    EXPECT_EQ(AppSandbox::readFile(app.logFile(app.path() + "/Log")),
              "09:05:03        Init Globals: Not a valid password.\r\n");
    // The new, unopened connection stays.
    ASSERT_TRUE(Globals().gConn);
    EXPECT_EQ(Globals().gConn->State(), 0);
    EXPECT_EQ(Globals().gConn->ConnectionString(), "Provider=Microsoft.Jet.OLEDB.4.0");
}

TEST(InitGlobals, LaterFailuresLogWhereTheSettingsSaid)
{
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    app.writeSetupIni(ini("[General]\r\nLogDir=" + app.file("mylogs/") + "\r\n[DataConnection]\r\nPath=\r\n"));
    EXPECT_TRUE(InitGlobals());
    QFile::remove(app.file("Setup.ini"));
    EXPECT_FALSE(InitGlobals());
    EXPECT_EQ(AppSandbox::readFile(app.logFile(app.file("mylogs"))),
              "09:05:03        Init Globals: Data Connection Path not specifed.  Aborting\r\n"
              "09:05:03        Init Globals: " + app.file("Setup.ini").toUtf8() + " file does not exist.  Aborting\r\n");
}

TEST(InitGlobals, RealAccessFilesOpen)
{
    const QString realdata = qEnvironmentVariable("VARNEX_REALDATA");
    if (realdata.isEmpty() || !QFile::exists(realdata + "/testV1997.mdb"))
        GTEST_SKIP() << "no real Access files here";
    AppSandbox app;
    test::MsgBoxRecorder boxes;
    const std::vector<std::pair<QString, QString>> cases = {
        {"testV1997.mdb", "Provider=Microsoft.Jet.OLEDB.3.51"},
        {"testV2000.mdb", "Provider=Microsoft.Jet.OLEDB.4.0"},
        {"testV2003.mdb", "Provider=Microsoft.Jet.OLEDB.4.0"},
    };
    for (const auto& [file, finalString] : cases) {
        SCOPED_TRACE(file.toStdString());
        app.writeSetupIni(ini("[DataConnection]\r\nPath=" + realdata + "/" + file + "\r\n"));
        ASSERT_TRUE(InitGlobals());
        ASSERT_TRUE(Globals().gConn);
        EXPECT_EQ(Globals().gConn->State(), 1);
        EXPECT_EQ(Globals().gConn->ConnectionString(), finalString);
    }
    EXPECT_TRUE(boxes.calls().isEmpty());
}

}  // namespace
}  // namespace varnex
