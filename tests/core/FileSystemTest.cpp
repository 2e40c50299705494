#include "core/FileSystem.h"
#include "core/LocaleCodec.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace varnex {
namespace {

void touch(const QString& path, const QByteArray& bytes = {})
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

struct DirCase {
    QString pattern;  // relative to the test folder
    EntryKinds kinds;
    QString expected;
};

TEST(FileSystem, DirListsWithAttributeFilterAndWildcards)
{
    test::TempDir dir;
    touch(dir.file("b.mdb"));
    touch(dir.file("a.txt"));
    touch(dir.file(".hidden"));
    QDir(dir.path()).mkdir("folder");
    QDir(dir.path()).mkdir(".hiddenfolder");
    touch(dir.file("folder/inner.log"));

    const std::vector<DirCase> cases = {
        {"b.mdb", {}, "b.mdb"},
        {"B.MDB", {}, ""},  // names are case-sensitive here
        {"missing.mdb", {}, ""},
        {".hidden", {}, ""},
        {".hidden", EntryKind::Hidden, ".hidden"},
        {"folder", {}, ""},
        {"folder", EntryKind::Folders, "folder"},
        {"folder/", EntryKind::Folders, "."},
        {"folder/", {}, "inner.log"},
        {".hiddenfolder", EntryKind::Folders, ""},
        {"b.mdb", EntryKind::Folders, "b.mdb"},
        {"*.mdb", {}, "b.mdb"},
        {"?.txt", {}, "a.txt"},
        {"*", {}, "a.txt"},
        {"*.*", {}, "a.txt"},
        {"f*", {}, ""},
        {"f*", EntryKind::Folders, "folder"},
        {"*.log", {}, ""},
        {"folder/*.log", {}, "inner.log"},
        {"nofolder/*.log", {}, ""},
        {"nofolder/x", {}, ""},
        {"b.mdb/x", {}, ""},
    };
    for (const DirCase& c : cases) {
        SCOPED_TRACE(c.pattern.toStdString() + " / " + std::to_string(c.kinds.toInt()));
        EXPECT_EQ(firstMatch(dir.path() + "/" + c.pattern, c.kinds), c.expected);
    }
    EXPECT_EQ(firstMatch("", EntryKind::Folders), "");
    EXPECT_EQ(firstMatch("/", EntryKind::Folders), ".");
}

TEST(FileSystem, DirTreatsSocketsAsSystemFiles)
{
    test::TempDir dir;
    const QByteArray path = QFile::encodeName(dir.file("sock"));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(path.size()), sizeof addr.sun_path);
    std::memcpy(addr.sun_path, path.constData(), static_cast<size_t>(path.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    EXPECT_EQ(firstMatch(dir.file("sock")), "");
    EXPECT_EQ(firstMatch(dir.file("sock"), EntryKind::System), "sock");
    ::close(fd);
}

TEST(FileSystem, FolderAndFileErrorsCarryTheRuntimeNumbers)
{
    test::TempDir dir;
    touch(dir.file("file"));
    EXPECT_TRUE(makeDir(dir.file("new")).ok());
    const std::vector<std::pair<Status, Error>> cases = {
        {makeDir(dir.file("new")), makeError(ErrorCode::PathFileAccess)},
        {makeDir(dir.file("a/b")), makeError(ErrorCode::PathNotFound)},
        {makeDir(dir.file("file/x")), makeError(ErrorCode::PathNotFound)},
        {removeFile(dir.file("none")), makeError(ErrorCode::FileNotFound)},
        {removeFile(dir.file("new")), makeError(ErrorCode::FileNotFound)},
        {appendLine(dir.file("a/x.log"), u"x"), makeError(ErrorCode::PathNotFound)},
        {appendLine(dir.file("new"), u"x"), makeError(ErrorCode::PathFileAccess)},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_FALSE(cases[i].first.ok());
        EXPECT_EQ(cases[i].first.error(), cases[i].second);
    }
    EXPECT_TRUE(removeFile(dir.file("file")).ok());
    EXPECT_FALSE(QFile::exists(dir.file("file")));
}

TEST(FileSystem, TextLinesEndInCrLfAndGoThroughTheCodePage)
{
    test::TempDir dir;
    const QString path = dir.file("out.txt");
    setLocaleCodeSetForTesting("ISO-8859-1");
    ASSERT_TRUE(appendLine(path, u"first \u00E9").ok());
    ASSERT_TRUE(appendLine(path, u"second \u20AC").ok());
    EXPECT_EQ(readAll(path), QByteArray("first \xE9\r\nsecond ?\r\n"));
    setLocaleCodeSetForTesting({});
}

}  // namespace
}  // namespace varnex
