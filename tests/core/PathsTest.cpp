#include "core/Paths.h"
#include "support/MessageRecorder.h"
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

TEST(Paths, ExistenceByListing)
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
        EXPECT_EQ(fileExists(c.path, c.attributes), c.fileExists);
    }
    EXPECT_TRUE(dirExists(dir.file("folder")));
    EXPECT_TRUE(dirExists(dir.file("folder/")));
    EXPECT_TRUE(dirExists(dir.file("file.mdb")));  // a file of that name counts too
    EXPECT_FALSE(dirExists(dir.file("none")));
}

TEST(Paths, MakePathMakesEveryMissingFolder)
{
    test::TempDir dir;
    QDir(dir.path()).mkdir("a");
    test::MessageRecorder boxes;
    EXPECT_TRUE(makePath(dir.file("a/b/c/")));
    EXPECT_TRUE(QFileInfo(dir.file("a/b/c")).isDir());
    EXPECT_TRUE(makePath(dir.file("x/y")));  // no trailing "/": the last folder is made too
    EXPECT_TRUE(QFileInfo(dir.file("x/y")).isDir());
    EXPECT_TRUE(makePath(dir.file("a/b/c/")));  // all there already
    EXPECT_TRUE(boxes.calls().isEmpty());

    // Making a folder that exists is a failure when the path does not end in "/".
    EXPECT_FALSE(makePath(dir.file("x/y")));
    QFile(dir.file("plain")).open(QIODevice::WriteOnly);
    EXPECT_FALSE(makePath(dir.file("plain/sub/")));
    EXPECT_EQ(boxes.calls(), (QList<Message>{{"Path/File access error", MessageStyle::Plain, "Varnex"},
                                                {"Path/File access error", MessageStyle::Plain, "Varnex"}}));
}

TEST(Paths, PositionsAreSixteenBit)
{
    test::MessageRecorder boxes;
    const QString deep = QString(32765, QLatin1Char('d')) + "/x";  // "/" at position 32766
    ASSERT_TRUE(folderPart(deep).ok());
    EXPECT_EQ(folderPart(deep).value(), deep.left(32766));
    const QString tooDeep = QString(32766, QLatin1Char('d')) + "/x";  // "/" at position 32767
    ASSERT_FALSE(folderPart(tooDeep).ok());
    EXPECT_EQ(folderPart(tooDeep).error(), makeError(ErrorCode::Overflow));
    EXPECT_FALSE(makePath("/" + tooDeep));
    EXPECT_EQ(boxes.calls(), (QList<Message>{{"Overflow", MessageStyle::Plain, "Varnex"}}));
}

TEST(Paths, folderPart)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {"/data/x.mdb", "/data/"}, {"x.mdb", ""}, {"/x.mdb", "/"}, {"/a/b/", "/a/b/"}, {"", ""}};
    for (const auto& [name, expected] : cases) {
        const Result<QString> part = folderPart(name);
        ASSERT_TRUE(part.ok());
        EXPECT_EQ(*part, expected) << name.toStdString();
    }
}

}  // namespace
}  // namespace varnex
