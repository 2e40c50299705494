// Where the database password comes from: --password-file, VARNEX_PASSWORD, --password, or the
// question on a terminal; and a password given for a database without one is ignored.

#include "Terminal.h"
#include "TestDatabases.h"
#include "VarnexProcess.h"
#include "support/TempDir.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <csignal>

namespace varnex::test {
namespace {

using jetwriter::Format;

class Passwords : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto orders = [] { return std::vector<jetwriter::Table>{NameTable("Orders", {"a"})}; };
        WriteDatabase(work_.file("plain.mdb"), orders());
        WriteDatabase(work_.file("plain.accdb"), orders(), Format::Ace2007);
        WriteDatabase(work_.file("locked.mdb"), orders(), Format::Jet4, "secret");
        WriteDatabase(work_.file("locked.accdb"), orders(), Format::Ace2007, "secret");
        writeFile("pw", "secret\n", 0600);
        writeFile("pw-crlf", "secret\r\nsecond line\n", 0600);
        writeFile("pw-open", "secret", 0644);
    }

    void writeFile(const QString& name, const QByteArray& bytes, mode_t mode)
    {
        QFile file(work_.file(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        ASSERT_EQ(chmod(QFile::encodeName(work_.file(name)).constData(), mode), 0);
    }

    TempDir work_;
};

TEST_F(Passwords, ComeFromAFileTheEnvironmentOrTheArgumentsAndOnlyWhereNeeded)
{
    const QByteArray hint = " The database has a password; give it with --password-file FILE or VARNEX_PASSWORD.\n";
    const QByteArray orders = "Orders\n";
    const std::vector<ShellCase> cases = {
        {R"("$VARNEX" tables locked.mdb --password-file pw)", 0, orders, ""},
        {R"("$VARNEX" tables locked.accdb --password-file=pw-crlf)", 0, orders, ""},
        {R"("$VARNEX" tables locked.mdb --password-file pw-open)", 0, orders,
         "varnex: warning: pw-open: other users can read this password file (chmod o-r pw-open)\n"},
        {R"("$VARNEX" tables locked.accdb --password-file <(printf secret))", 0, orders, ""},
        {R"("$VARNEX" tables locked.mdb --password-file nope)", 1, "",
         "varnex: nope: could not read the password file: No such file or directory\n"},
        {R"(VARNEX_PASSWORD=secret "$VARNEX" tables locked.accdb)", 0, orders, ""},
        {R"(VARNEX_PASSWORD=guess "$VARNEX" tables locked.mdb)", 1, "", "varnex: locked.mdb: Not a valid password.\n"},
        {R"(VARNEX_PASSWORD=guess "$VARNEX" tables locked.mdb --password-file pw)", 0, orders, ""},
        {R"(VARNEX_PASSWORD=guess "$VARNEX" tables locked.mdb --password secret)", 0, orders, ""},
        {R"(VARNEX_PASSWORD=$'\xff' "$VARNEX" tables locked.mdb)", 1, "",
         "varnex: VARNEX_PASSWORD: the password is not valid UTF-8\n"},
        {R"("$VARNEX" tables locked.mdb < /dev/null)", 1, "", "varnex: locked.mdb: Not a valid password." + hint},
        // A database without a password: whatever is given is ignored, a password file not even read.
        {R"("$VARNEX" tables plain.mdb --password x)", 0, orders, ""},
        {R"("$VARNEX" tables plain.accdb --password x)", 0, orders, ""},
        {R"(VARNEX_PASSWORD=x "$VARNEX" tables plain.mdb)", 0, orders, ""},
        {R"("$VARNEX" tables plain.mdb --password-file nope)", 0, orders, ""},
    };
    expectShellCases(cases, work_.path());
}

// Standard input on a terminal: the password is asked for there, and what is typed does not show.
TEST_F(Passwords, AreAskedForOnATerminalWithoutEcho)
{
    struct Case {
        const char* name;
        QString database;
        QByteArray typed;  // empty: an interruption instead
        int status;
        QByteArray out;
        QByteArray err;
    };
    const Case cases[] = {
        {"the right password", "locked.accdb", "secret\n", 0, "Orders\n", ""},
        {"a wrong one", "locked.mdb", "guess\n", 1, "", "varnex: locked.mdb: Not a valid password.\n"},
        {"Ctrl+C at the question", "locked.mdb", "", 128 + SIGINT, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Terminal terminal;
        ASSERT_FALSE(terminal.name().isEmpty());
        QProcess process;
        process.setStandardInputFile(terminal.name());
        startVarnex(process, {"tables", c.database}, work_.path());
        ASSERT_TRUE(process.waitForStarted());

        const QByteArray question = "Password for " + c.database.toUtf8() + ": ";
        ASSERT_TRUE(terminal.readUntil(question, 30000)) << terminal.text().toStdString();
        EXPECT_FALSE(terminal.echoes());
        if (c.typed.isEmpty())
            ::kill(static_cast<pid_t>(process.processId()), SIGINT);
        else
            ASSERT_TRUE(terminal.type(c.typed));
        EXPECT_TRUE(process.waitForFinished(30000));
        terminal.readFor(100);
        EXPECT_EQ(shellStatus(process), c.status);
        EXPECT_EQ(process.readAllStandardOutput(), c.out);
        EXPECT_EQ(process.readAllStandardError().toStdString(), c.err.toStdString());
        // The question, then a line end in place of what was typed; the echo is back on.
        EXPECT_EQ(terminal.text().toStdString(), (question + "\r\n").toStdString());
        EXPECT_TRUE(terminal.echoes());
    }
}

}  // namespace
}  // namespace varnex::test
