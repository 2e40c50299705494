#include "core/Paths.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(Paths, withTrailingSlash)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {"/", "/"}, {"/tools", "/tools/"}, {"/tools/", "/tools/"}, {"", "/"}, {"a", "a/"}};
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(withTrailingSlash(path), expected) << path.toStdString();
}

TEST(Paths, ExistenceTakesEveryCharacterAsItIs)
{
    test::TempDir dir;
    QDir(dir.path()).mkdir("folder");
    QDir(dir.path()).mkdir("f*lder");
    for (const char* name : {"file.mdb", ".hidden.mdb", "a*b", "q?.mdb"})
        QFile(dir.file(name)).open(QIODevice::WriteOnly);
    struct Case {
        QString path;
        EntryKinds kinds;
        bool exists;
    };
    const std::vector<Case> cases = {
        {dir.file("file.mdb"), {}, true},
        {dir.file(".hidden.mdb"), {}, false},
        {dir.file(".hidden.mdb"), EntryKind::Hidden, true},
        {dir.file("folder"), {}, false},
        {dir.file("folder"), EntryKind::Folders, true},
        {dir.file("folder/"), EntryKind::Folders, true},
        {dir.file("folder/"), {}, false},
        {dir.file("file.mdb/"), EntryKind::Folders, false},
        {dir.file("nothing"), EntryKind::Folders, false},
        {"/no/such/drive/x.mdb", {}, false},
        {QString::fromLatin1("bad\0name", 8), {}, false},
        {"", EntryKind::Folders, false},
        // "*" and "?" are characters of the name, not wildcards.
        {dir.file("*.mdb"), {}, false},
        {dir.file("a*b"), {}, true},
        {dir.file("a*"), {}, false},
        {dir.file("a?b"), {}, false},
        {dir.file("q?.mdb"), {}, true},
        {dir.file("qq.mdb"), {}, false},
        {dir.file("f*lder"), EntryKind::Folders, true},
        {dir.file("f*"), EntryKind::Folders, false},
        {dir.file("f*lder/"), EntryKind::Folders, true},
        {dir.file("*/"), EntryKind::Folders, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(fileExists(c.path, c.kinds), c.exists);
    }
    EXPECT_TRUE(dirExists(dir.file("folder")));
    EXPECT_TRUE(dirExists(dir.file("folder/")));
    EXPECT_TRUE(dirExists(dir.file("f*lder")));
    EXPECT_FALSE(dirExists(dir.file("f?lder")));
    EXPECT_TRUE(dirExists(dir.file("file.mdb")));  // a file of that name counts too
    EXPECT_FALSE(dirExists(dir.file("none")));
}

// What a makePath gave, as the user is told it.
std::string Outcome(const Status& made)
{
    return made ? "made" : made.error().description.toStdString();
}

TEST(Paths, MakePathMakesEveryMissingFolder)
{
    test::TempDir dir;
    QDir(dir.path()).mkdir("a");
    QFile(dir.file("plain")).open(QIODevice::WriteOnly);
    struct Case {
        QString path;
        std::string expected;
        QString madeFolder;  // a folder there afterwards
    };
    const std::vector<Case> cases = {
        {dir.file("a/b/c/"), "made", dir.file("a/b/c")},
        {dir.file("x/y"), "made", dir.file("x/y")},  // no trailing "/": the last folder is made too
        {dir.file("a/b/c/"), "made", dir.file("a/b/c")},  // all there already
        {dir.file("w*/?/"), "made", dir.file("w*/?")},  // wildcard characters are names like any other
        // Making a folder that exists is a failure when the path does not end in "/".
        {dir.file("x/y"), "Path/File access error", dir.file("x/y")},
        {dir.file("plain/sub/"), "Path/File access error", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(Outcome(makePath(c.path)), c.expected);
        if (!c.madeFolder.isEmpty()) {
            EXPECT_TRUE(QFileInfo(c.madeFolder).isDir());
        }
    }
}

// Paths are as long as the system takes them; the program sets no limit of its own.
TEST(Paths, LongPathsMeetOnlyTheSystemsLimit)
{
    test::TempDir dir;
    QString manyFolders = dir.path() + "/";
    while (manyFolders.size() < 40000)
        manyFolders += "folder/";
    const QString oneLongName = "/" + QString(39998, QLatin1Char('d')) + "/x";
    struct Case {
        const char* name;
        QString path;
        QString folder;
        std::string made;
    };
    const std::vector<Case> cases = {
        {"one long name", oneLongName, oneLongName.left(40000), "Path not found"},
        {"many folders", manyFolders + "x.mdb", manyFolders, "Path not found"},
        {"at the system's limit", dir.path() + "/" + QString(200, QLatin1Char('e')) + "/", dir.path() + "/" + QString(200, QLatin1Char('e')) + "/", "made"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(folderPart(c.path), c.folder);
        EXPECT_EQ(Outcome(makePath(c.folder)), c.made);
        EXPECT_EQ(fileExists(c.path), false);
    }
    EXPECT_TRUE(QFileInfo(manyFolders.left(manyFolders.indexOf("/folder/") + 8)).isDir());
}

TEST(Paths, folderPart)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {"/data/x.mdb", "/data/"}, {"x.mdb", ""}, {"/x.mdb", "/"}, {"/a/b/", "/a/b/"}, {"", ""}, {"/a*/?.mdb", "/a*/"}};
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(folderPart(name), expected) << name.toStdString();
}

}  // namespace
}  // namespace varnex
