#include "app/AppSettings.h"
#include "app/LoadSettings.h"
#include "core/Log.h"
#include "data/Connection.h"
#include "support/AppSandbox.h"
#include "support/MessageRecorder.h"

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

TEST(LoadSettings, MissingSetupIniIsLoggedInTheApplicationFolder)
{
    AppSandbox app;
    test::MessageRecorder boxes;
    EXPECT_FALSE(loadSettings());
    const QString message = app.file("Setup.ini") + " file does not exist.  Aborting";
    EXPECT_EQ(boxes.calls(), (QList<Message>{{message, MessageStyle::Critical, "Init Globals"}}));
    EXPECT_EQ(AppSandbox::readFile(app.logFile()), "09:05:03        Init Globals: " + message.toUtf8() + "\r\n");
    EXPECT_EQ(appSettings().iniFile, app.file("Setup.ini"));
    EXPECT_TRUE(logFolder().isEmpty());
    EXPECT_FALSE(appSettings().connection);
}

TEST(LoadSettings, DefaultsWithOnlyTheDataConnection)
{
    AppSandbox app;
    test::MessageRecorder boxes;
    const QString db = makeDatabase(app, "Rilk.mdb", jetwriter::Format::Jet3);
    app.writeSetupIni(ini("[DataConnection]\r\nPath=" + db + "\r\n"));
    ASSERT_TRUE(loadSettings());
    const AppSettings& g = appSettings();
    EXPECT_EQ(logFolder(), app.path() + "/Log/");
    EXPECT_EQ(g.dataPath, db);
    EXPECT_EQ(g.user, "Admin");
    EXPECT_EQ(g.password, "");
    EXPECT_TRUE(g.includeHeader);
    ASSERT_TRUE(g.connection);
    EXPECT_TRUE(g.connection->isOpen());
    EXPECT_EQ(g.connection->connectionString(), "Provider=Microsoft.Jet.OLEDB.3.51");
    EXPECT_TRUE(boxes.calls().isEmpty());
    EXPECT_FALSE(QFile::exists(app.logFile()));
}

TEST(LoadSettings, EveryKeyIsReadAndTrimmed)
{
    AppSandbox app;
    test::MessageRecorder boxes;
    const QString db = makeDatabase(app, "Rilk.mdb", jetwriter::Format::Jet4, "secret");
    app.writeSetupIni(ini("[General]\r\nLogDir = " + app.file("logs") + "\r\n[DataConnection]\r\nPath=   " + db +
                          "   \r\nUser= admin \r\nPassword=secret\r\nConnectionString=Provider=Microsoft.Jet.OLEDB.4.0\r\n"
                          "[Export]\r\nIncHeader=False\r\n"));
    ASSERT_TRUE(loadSettings());
    const AppSettings& g = appSettings();
    EXPECT_EQ(logFolder(), app.file("logs"));
    EXPECT_EQ(g.dataPath, db);
    EXPECT_EQ(g.user, "admin");
    EXPECT_EQ(g.password, "secret");
    EXPECT_FALSE(g.includeHeader);
    ASSERT_TRUE(g.connection);
    EXPECT_TRUE(g.connection->isOpen());
    EXPECT_TRUE(boxes.calls().isEmpty());
}

TEST(LoadSettings, IncHeaderValues)
{
    AppSandbox app;
    const QString db = makeDatabase(app, "Rilk.mdb", jetwriter::Format::Jet3);
    const std::vector<std::pair<QString, std::optional<bool>>> cases = {
        {"false", false}, {"FALSE", false}, {"0", false}, {"true", true}, {"-1", true}, {"True", true},
        {"yes", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(value.toStdString());
        test::MessageRecorder boxes;
        QFile::remove(app.logFile(app.path() + "/Log"));
        app.writeSetupIni(ini("[DataConnection]\r\nPath=" + db + "\r\n[Export]\r\nIncHeader=" + value + "\r\n"));
        const std::shared_ptr<Connection> before = appSettings().connection;
        appSettings().includeHeader = !expected.value_or(false);
        if (expected) {
            EXPECT_TRUE(loadSettings());
            EXPECT_EQ(appSettings().includeHeader, *expected);
            EXPECT_TRUE(boxes.calls().isEmpty());
        } else {
            EXPECT_FALSE(loadSettings());
            EXPECT_TRUE(appSettings().includeHeader);  // left as it was
            EXPECT_EQ(boxes.calls(), (QList<Message>{{"Type mismatch", MessageStyle::Critical, "Init Globals"}}));
            EXPECT_EQ(AppSandbox::readFile(app.logFile(app.path() + "/Log")),
                      "09:05:03        Init Globals: Type mismatch\r\n");
            // The connection of the previous run is left as it was.
            EXPECT_EQ(appSettings().connection, before);
            ASSERT_TRUE(before);
            EXPECT_TRUE(before->isOpen());
        }
    }
}

TEST(LoadSettings, PathProblems)
{
    AppSandbox app;
    {
        test::MessageRecorder boxes;
        app.writeSetupIni(ini("[DataConnection]\r\nPath=" + app.file("gone.mdb") + "\r\n"));
        EXPECT_TRUE(loadSettings());
        EXPECT_EQ(boxes.calls(),
                  (QList<Message>{{"Could not find Rilk.mdb. Path = '" + app.file("gone.mdb") + "'.", MessageStyle::Critical, "Varnex"}}));
        EXPECT_EQ(appSettings().dataPath, "");
        EXPECT_FALSE(appSettings().connection);
        EXPECT_FALSE(QFile::exists(app.logFile(app.path() + "/Log")));
    }
    {
        test::MessageRecorder boxes;
        app.writeSetupIni(ini("[DataConnection]\r\nUser=Admin\r\n"));
        EXPECT_TRUE(loadSettings());
        EXPECT_EQ(boxes.calls(),
                  (QList<Message>{{"Data Connection Path not specifed.  Aborting", MessageStyle::Critical, "Init Globals"}}));
        EXPECT_EQ(AppSandbox::readFile(app.logFile(app.path() + "/Log")),
                  "09:05:03        Init Globals: Data Connection Path not specifed.  Aborting\r\n");
        EXPECT_FALSE(appSettings().connection);
        EXPECT_TRUE(appSettings().includeHeader);
    }
}

TEST(LoadSettings, RerunReplacesTheConnection)
{
    AppSandbox app;
    test::MessageRecorder boxes;
    const QString db = makeDatabase(app, "Rilk.mdb", jetwriter::Format::Jet3);
    app.writeSetupIni(ini("[DataConnection]\r\nPath=" + db + "\r\n"));
    ASSERT_TRUE(loadSettings());
    const std::shared_ptr<Connection> first = appSettings().connection;
    ASSERT_TRUE(loadSettings());
    EXPECT_FALSE(first->isOpen());
    ASSERT_TRUE(appSettings().connection);
    EXPECT_NE(appSettings().connection, first);
    EXPECT_TRUE(appSettings().connection->isOpen());

    // A run that ends without a database leaves no connection.
    QFile::remove(db);
    const std::shared_ptr<Connection> second = appSettings().connection;
    EXPECT_TRUE(loadSettings());
    EXPECT_FALSE(appSettings().connection);
    EXPECT_FALSE(second->isOpen());
}

TEST(LoadSettings, FallsBackToThePlainJet4Provider)
{
    AppSandbox app;
    test::MessageRecorder boxes;
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
        ASSERT_TRUE(loadSettings());
        ASSERT_TRUE(appSettings().connection);
        EXPECT_TRUE(appSettings().connection->isOpen());
        EXPECT_EQ(appSettings().connection->connectionString(), c.finalString);
    }
    EXPECT_TRUE(boxes.calls().isEmpty());
}

TEST(LoadSettings, BothOpeningsFailing)
{
    AppSandbox app;
    test::MessageRecorder boxes;
    const QString db = makeDatabase(app, "locked.mdb", jetwriter::Format::Jet4, "right");
    app.writeSetupIni(ini("[DataConnection]\r\nPath=" + db + "\r\nPassword=wrong\r\n"));
    EXPECT_FALSE(loadSettings());
    EXPECT_EQ(boxes.calls(), (QList<Message>{{"Not a valid password.", MessageStyle::Critical, "Init Globals"}}));
    EXPECT_EQ(AppSandbox::readFile(app.logFile(app.path() + "/Log")),
              "09:05:03        Init Globals: Not a valid password.\r\n");
    // The new, unopened connection stays.
    ASSERT_TRUE(appSettings().connection);
    EXPECT_FALSE(appSettings().connection->isOpen());
    EXPECT_EQ(appSettings().connection->connectionString(), "Provider=Microsoft.Jet.OLEDB.4.0");
}

// The fallback goes on from the plain 4.0 provider to ACE when 4.0 cannot read the file; when
// every attempt fails, the failure about the file itself is shown, whichever attempt met it.
TEST(LoadSettings, ProviderFallbackReachesAceAndReportsTheTellingFailure)
{
    AppSandbox app;
    const QString ace2007 = makeDatabase(app, "new.accdb", jetwriter::Format::Ace2007);
    const QString ace2010 = makeDatabase(app, "newer.accdb", jetwriter::Format::Ace2010);
    const QString locked = makeDatabase(app, "locked.mdb", jetwriter::Format::Jet4, "right");
    // Only ACE reads this one: a Jet 4 file with a header password, signed as an ACE file.
    const QString lockedAce = makeDatabase(app, "locked.accdb", jetwriter::Format::Jet4, "right");
    {
        QFile file(lockedAce);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.seek(4));
        file.write("Standard ACE DB");
        ASSERT_TRUE(file.seek(0x14));
        file.write("\x02", 1);
    }
    const QString text = app.file("notes.accdb");
    {
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, 'x'));
    }
    const QString aceString = "Provider=Microsoft.ACE.OLEDB.12.0";
    struct Case {
        const char* name;
        QString path, connectionString, password;
        QString finalString;
        QString failure;  // the box under "Init Globals"; empty when the database opened
    };
    const std::vector<Case> cases = {
        {"accdb with the run script's Setup.ini", ace2007, "Provider=Microsoft.Jet.OLEDB.4.0", "", aceString, ""},
        {"accdb without a provider", ace2010, "", "", aceString, ""},
        {"a provider named is tried first", ace2010, "Provider=Microsoft.ACE.OLEDB.16.0;Mode=Read", "",
         "Provider=Microsoft.ACE.OLEDB.16.0;Mode=Read", ""},
        {"unknown provider, then ACE", ace2007, "Provider=Nowhere.1", "", aceString, ""},
        {"password failure of 4.0 is not masked by ACE", locked, "", "wrong", "Provider=Microsoft.Jet.OLEDB.4.0",
         "Not a valid password."},
        {"password failure of the named provider is not masked by 4.0", lockedAce,
         aceString + ";Jet OLEDB:Database Password=wrong", "", aceString, "Not a valid password."},
        {"the 4.0 retry still uses the password of Setup.ini", locked,
         aceString + ";Jet OLEDB:Database Password=wrong", "right", "Provider=Microsoft.Jet.OLEDB.4.0", ""},
        {"password failure of ACE is not masked by the format failures before it", lockedAce, "", "wrong", aceString,
         "Not a valid password."},
        {"ACE with the right password", lockedAce, "", "right", aceString, ""},
        {"no Access file at all", text, "Provider=Nowhere.1", "", aceString,
         "Unrecognized database format '" + text + "'."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::MessageRecorder boxes;
        QString body = "[DataConnection]\r\nPath=" + c.path + "\r\nPassword=" + c.password + "\r\n";
        if (!c.connectionString.isEmpty())
            body += "ConnectionString=" + c.connectionString + "\r\n";
        app.writeSetupIni(ini(body));
        EXPECT_EQ(loadSettings(), c.failure.isEmpty());
        ASSERT_TRUE(appSettings().connection);
        EXPECT_EQ(appSettings().connection->isOpen(), c.failure.isEmpty());
        EXPECT_EQ(appSettings().connection->connectionString(), c.finalString);
        const QList<Message> expected = c.failure.isEmpty()
                                            ? QList<Message>{}
                                            : QList<Message>{{c.failure, MessageStyle::Critical, "Init Globals"}};
        EXPECT_EQ(boxes.calls(), expected);
    }
}

TEST(LoadSettings, LaterFailuresLogWhereTheSettingsSaid)
{
    AppSandbox app;
    test::MessageRecorder boxes;
    app.writeSetupIni(ini("[General]\r\nLogDir=" + app.file("mylogs/") + "\r\n[DataConnection]\r\nPath=\r\n"));
    EXPECT_TRUE(loadSettings());
    QFile::remove(app.file("Setup.ini"));
    EXPECT_FALSE(loadSettings());
    EXPECT_EQ(AppSandbox::readFile(app.logFile(app.file("mylogs"))),
              "09:05:03        Init Globals: Data Connection Path not specifed.  Aborting\r\n"
              "09:05:03        Init Globals: " + app.file("Setup.ini").toUtf8() + " file does not exist.  Aborting\r\n");
}

TEST(LoadSettings, RealAccessFilesOpen)
{
    const QString realdata = qEnvironmentVariable("VARNEX_REALDATA");
    if (realdata.isEmpty() || !QFile::exists(realdata + "/testV1997.mdb"))
        GTEST_SKIP() << "no real Access files here";
    AppSandbox app;
    test::MessageRecorder boxes;
    const std::vector<std::pair<QString, QString>> cases = {
        {"testV1997.mdb", "Provider=Microsoft.Jet.OLEDB.3.51"},
        {"testV2000.mdb", "Provider=Microsoft.Jet.OLEDB.4.0"},
        {"testV2003.mdb", "Provider=Microsoft.Jet.OLEDB.4.0"},
        {"testV2007.accdb", "Provider=Microsoft.ACE.OLEDB.12.0"},
        {"complexDataTestV2010.accdb", "Provider=Microsoft.ACE.OLEDB.12.0"},
    };
    for (const auto& [file, finalString] : cases) {
        SCOPED_TRACE(file.toStdString());
        app.writeSetupIni(ini("[DataConnection]\r\nPath=" + realdata + "/" + file + "\r\n"));
        ASSERT_TRUE(loadSettings());
        ASSERT_TRUE(appSettings().connection);
        EXPECT_TRUE(appSettings().connection->isOpen());
        EXPECT_EQ(appSettings().connection->connectionString(), finalString);
    }
    EXPECT_TRUE(boxes.calls().isEmpty());
}

}  // namespace
}  // namespace varnex
