#include "core/LocaleCodec.h"
#include "core/ProfileString.h"
#include "support/AsOrdinaryUser.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <optional>

namespace varnex {
namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct ReadCase {
    const char* name;
    QByteArray file;
    QString section, key, defaultValue;
    QString expected;
};

TEST(ProfileString, ReadsAsTheWindowsReaderDoes)
{
    const QByteArray basic = "[DataConnection]\r\nPath=/data/a.mdb\r\n[Export]\r\nIncHeader=False\r\n";
    const QByteArray longValue = "[S]\r\nK=" + QByteArray(1500, 'x') + "\r\n";
    const std::vector<ReadCase> cases = {
        {"plain", basic, "DataConnection", "Path", "", "/data/a.mdb"},
        {"names without regard to case", basic, "dataconnection", "PATH", "", "/data/a.mdb"},
        {"key of another section is not seen", basic, "Export", "Path", "dflt", "dflt"},
        {"absent section gives default", basic, "General", "LogDir", "", ""},
        {"absent key gives default", basic, "DataConnection", "User", "Admin", "Admin"},
        {"default loses trailing blanks", basic, "DataConnection", "User", "  Admin  ", "  Admin"},
        {"blanks around names and value", "  [ Export ]  \r\n  IncHeader  =   True   \r\n", "Export", "IncHeader", "",
         "True"},
        {"tabs count as blanks", "[S]\r\n\tK\t=\tv\t\r\n", "S", "K", "", "v"},
        {"one pair of double quotes removed", "[S]\r\nK=\"\"a b\"\"\r\n", "S", "K", "", "\"a b\""},
        {"single quotes removed", "[S]\r\nK='x'\r\n", "S", "K", "", "x"},
        {"unbalanced quotes kept", "[S]\r\nK=\"x\r\n", "S", "K", "", "\"x"},
        {"first key wins", "[S]\r\nK=1\r\nK=2\r\n", "S", "K", "", "1"},
        {"first section wins", "[S]\r\nA=1\r\n[S]\r\nK=2\r\n", "S", "K", "d", "d"},
        {"LF line ends", "[S]\nK=v\n", "S", "K", "", "v"},
        {"no line end at the end", "[S]\r\nK=v", "S", "K", "", "v"},
        {"empty value is not the default", "[S]\r\nK=\r\n", "S", "K", "d", ""},
        {"comment lines are not keys", "[S]\r\n;K=c\r\nK=v\r\n", "S", "K", "", "v"},
        {"value cut to 1023 units", longValue, "S", "K", "", QString(1023, QLatin1Char('x'))},
        {"UTF-8 byte order mark ignored", "\xEF\xBB\xBF[S]\r\nK=v\r\n", "S", "K", "", "v"},
    };
    test::TempDir dir;
    const QString file = dir.file("Setup.ini");
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        writeAll(file, c.file);
        EXPECT_EQ(readProfileString(c.section, c.key, c.defaultValue, file), c.expected);
    }
    EXPECT_EQ(readProfileString("S", "K", "gone", dir.file("none.ini")), "gone");
}

TEST(ProfileString, ValuesAreInTheLocaleCodeSet)
{
    test::TempDir dir;
    const QString file = dir.file("Setup.ini");
    setLocaleCodeSetForTesting("ISO-8859-1");
    writeAll(file, "[S]\r\nK=caf\xE9\r\n");
    EXPECT_EQ(readProfileString("S", "K", "", file), QString::fromUtf8("café"));
    ASSERT_TRUE(writeProfileString("S", "K", QString::fromUtf8("né€"), file));
    EXPECT_EQ(readAll(file), QByteArray("[S]\r\nK=n\xE9?\r\n"));

    // A UTF-8 value longer than the cap is cut before the character that would not fit whole.
    setLocaleCodeSetForTesting("UTF-8");
    writeAll(file, "[S]\r\nK=" + QByteArray(1022, 'x') + "\xC3\xA9\r\n");
    EXPECT_EQ(readProfileString("S", "K", "", file), QString(1022, QLatin1Char('x')));
    setLocaleCodeSetForTesting({});
}

struct WriteCase {
    const char* name;
    QByteArray before;
    QString section, key, value;
    QByteArray after;
};

TEST(ProfileString, WritesInPlaceAndKeepsEverythingElse)
{
    const std::vector<WriteCase> cases = {
        {"new file", "<none>", "Export", "IncHeader", "True", "[Export]\r\nIncHeader=True\r\n"},
        {"replace value, keep comments, order and key spelling",
         "; settings\r\n[DataConnection]\r\n  path = /old.mdb  \r\nUser=Admin\r\n\r\n[Export]\r\nIncHeader=True\r\n",
         "DATACONNECTION", "Path", "/new.mdb",
         "; settings\r\n[DataConnection]\r\npath=/new.mdb\r\nUser=Admin\r\n\r\n[Export]\r\nIncHeader=True\r\n"},
        {"new key goes after the section's last entry", "[A]\r\nX=1\r\n\r\n[B]\r\nY=2\r\n", "A", "Z", "3",
         "[A]\r\nX=1\r\nZ=3\r\n\r\n[B]\r\nY=2\r\n"},
        {"new key in a last section without line end", "[A]\r\nX=1", "A", "Z", "3", "[A]\r\nX=1\r\nZ=3\r\n"},
        {"new section at the end", "[A]\r\nX=1\r\n", "B", "Y", "2", "[A]\r\nX=1\r\n\r\n[B]\r\nY=2\r\n"},
        {"LF lines stay LF", "[A]\nX=1\nW=0\n", "A", "X", "2", "[A]\nX=2\nW=0\n"},
        {"empty value", "[A]\r\nX=1\r\n", "A", "X", "", "[A]\r\nX=\r\n"},
        {"byte order mark kept", "\xEF\xBB\xBF[A]\r\nX=1\r\n", "a", "x", "2", "\xEF\xBB\xBF[A]\r\nX=2\r\n"},
    };
    test::TempDir dir;
    const QString file = dir.file("Setup.ini");
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(file);
        if (c.before != "<none>")
            writeAll(file, c.before);
        EXPECT_TRUE(writeProfileString(c.section, c.key, c.value, file));
        EXPECT_EQ(readAll(file), c.after);
    }
}

TEST(ProfileString, RefusesWhatWouldBreakTheFile)
{
    test::TempDir dir;
    const QString file = dir.file("Setup.ini");
    writeAll(file, "[A]\r\nX=1\r\n");
    EXPECT_FALSE(writeProfileString("A", "X", "2\r\nY=3", file));
    EXPECT_FALSE(writeProfileString("A", "", "2", file));
    EXPECT_EQ(readAll(file), QByteArray("[A]\r\nX=1\r\n"));
    EXPECT_FALSE(writeProfileString("A", "X", "1", dir.file("missing/Setup.ini")));
}

TEST(ProfileString, KeepsTheFileMode)
{
    test::TempDir dir;
    const QString file = dir.file("Setup.ini");
    ASSERT_TRUE(writeProfileString("A", "X", "1", file));
    EXPECT_EQ(QFile::permissions(file), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                                            | QFileDevice::WriteUser);
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    ASSERT_TRUE(writeProfileString("A", "X", "2", file));
    EXPECT_TRUE(QFile::permissions(file) & QFileDevice::ReadGroup);
}

// Writes that cannot finish (a full disk, a folder or file that takes no write) leave
// Setup.ini byte for byte as it was and nothing beside it; a read-only folder with a
// writable file still takes a write, longer or shorter than what was there.
TEST(ProfileString, FailedWriteKeepsTheFileByteForByte)
{
    struct Case {
        const char* name;
        bool folderWritable;
        bool fileWritable;
        rlim_t sizeLimit;  // 0: none
        QString password;
        bool written;
    };
    const QByteArray before = "[DataConnection]\r\nPath=/data/old.mdb\r\nPassword=secret\r\n";
    const QString longPassword(300, QLatin1Char('p'));
    const std::vector<Case> cases = {
        {"full disk", true, true, 100, longPassword, false},
        {"read-only folder, full disk", false, true, 100, longPassword, false},
        {"read-only folder, longer value", false, true, 0, longPassword, true},
        {"read-only folder, shorter value", false, true, 0, "", true},
        {"read-only folder and file", false, false, 0, "new", false},
        {"writable folder", true, true, 0, longPassword, true},
    };
    const auto folderMode = [](bool writable) {
        const auto readable = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup | QFileDevice::ExeGroup
                              | QFileDevice::ReadOther | QFileDevice::ExeOther;
        return writable ? readable | QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther : readable;
    };
    const auto fileMode = [](bool writable) {
        const auto readable = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        return writable ? readable | QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther : readable;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const QString file = dir.file("Setup.ini");
        writeAll(file, before);
        QFile::setPermissions(file, fileMode(c.fileWritable));
        QFile::setPermissions(dir.path(), folderMode(c.folderWritable));
        bool written = false;
        {
            test::AsOrdinaryUser user;
            std::optional<test::FileSizeLimit> limit;
            if (c.sizeLimit)
                limit.emplace(c.sizeLimit);
            written = writeProfileString("DataConnection", "Password", c.password, file);
        }
        QFile::setPermissions(dir.path(), folderMode(true));
        EXPECT_EQ(written, c.written);
        const QByteArray after = "[DataConnection]\r\nPath=/data/old.mdb\r\nPassword=" + c.password.toLatin1() + "\r\n";
        EXPECT_EQ(readAll(file), c.written ? after : before);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"Setup.ini"});
    }
}

}  // namespace
}  // namespace varnex
