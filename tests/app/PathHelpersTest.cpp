#include "app/PathHelpers.h"
#include "support/MsgBoxRecorder.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace varnex {
namespace {

TEST(PathHelpers, AddBackslash)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {"/", "/"}, {"/tools", "/tools/"}, {"/tools/", "/tools/"}, {"", "/"}, {"a", "a/"}};
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(AddBackslash(path), expected) << path.toStdString();
}

TEST(PathHelpers, ExistenceByListing)
{
    test::TempDir dir;
    QDir(dir.path()).mkdir("folder");
    QFile(dir.file("file.mdb")).open(QIODevice::WriteOnly);
    QFile(dir.file(".hidden.mdb")).open(QIODevice::WriteOnly);
    struct Case {
        QString path;
        int16_t attributes;
        bool fileExists;
    };
    const std::vector<Case> cases = {
        {dir.file("file.mdb"), 0, true},       {dir.file(".hidden.mdb"), 0, false},
        {dir.file("folder"), 0, false},        {dir.file("folder"), 16, true},
        {dir.file("folder/"), 16, true},       {dir.file("*.mdb"), 0, true},
        {dir.file("nothing"), 16, false},      {"/no/such/drive/x.mdb", 0, false},
        {QString::fromLatin1("bad\0name", 8), 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(FileExists(c.path, c.attributes), c.fileExists);
    }
    EXPECT_TRUE(DirExists(dir.file("folder")));
    EXPECT_TRUE(DirExists(dir.file("folder/")));
    EXPECT_TRUE(DirExists(dir.file("file.mdb")));  // a file of that name counts too
    EXPECT_FALSE(DirExists(dir.file("none")));
}

TEST(PathHelpers, MakePathMakesEveryMissingFolder)
{
    test::TempDir dir;
    QDir(dir.path()).mkdir("a");
    test::MsgBoxRecorder boxes;
    EXPECT_TRUE(MakePath(dir.file("a/b/c/")));
    EXPECT_TRUE(QFileInfo(dir.file("a/b/c")).isDir());
    EXPECT_TRUE(MakePath(dir.file("x/y")));  // no trailing "/": the last folder is made too
    EXPECT_TRUE(QFileInfo(dir.file("x/y")).isDir());
    EXPECT_TRUE(MakePath(dir.file("a/b/c/")));  // all there already
    EXPECT_TRUE(boxes.calls().isEmpty());

    // Making a folder that exists is a failure when the path does not end in "/".
    EXPECT_FALSE(MakePath(dir.file("x/y")));
    QFile(dir.file("plain")).open(QIODevice::WriteOnly);
    EXPECT_FALSE(MakePath(dir.file("plain/sub/")));
    EXPECT_EQ(boxes.calls(), (QList<MsgBoxCall>{{"Path/File access error", 0, "Varnex"},
                                                {"Path/File access error", 0, "Varnex"}}));
}

TEST(PathHelpers, PositionsAreSixteenBit)
{
    test::MsgBoxRecorder boxes;
    const QString deep = QString(32765, QLatin1Char('d')) + "/x";  // "/" at position 32766
    ASSERT_TRUE(GetPathPart(deep).ok());
    EXPECT_EQ(GetPathPart(deep).value(), deep.left(32766));
    const QString tooDeep = QString(32766, QLatin1Char('d')) + "/x";  // "/" at position 32767
    ASSERT_FALSE(GetPathPart(tooDeep).ok());
    EXPECT_EQ(GetPathPart(tooDeep).error(), (Error{6, "Overflow"}));
    EXPECT_FALSE(MakePath("/" + tooDeep));
    EXPECT_EQ(boxes.calls(), (QList<MsgBoxCall>{{"Overflow", 0, "Varnex"}}));
}

TEST(PathHelpers, GetPathPart)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {"/data/x.mdb", "/data/"}, {"x.mdb", ""}, {"/x.mdb", "/"}, {"/a/b/", "/a/b/"}, {"", ""}};
    for (const auto& [name, expected] : cases) {
        const Result<QString> part = GetPathPart(name);
        ASSERT_TRUE(part.ok());
        EXPECT_EQ(*part, expected) << name.toStdString();
    }
}

}  // namespace
}  // namespace varnex
