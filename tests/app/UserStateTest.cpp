// What the desktop program remembers between runs: the recent files (newest first, ten at most,
// each once), the table last shown of each, where the state file lives in each build, and a
// state file that is no state file.

#include "app/UserState.h"
#include "core/AppFolders.h"
#include "support/AppSandbox.h"
#include "support/UserEnvironment.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>

namespace varnex {
namespace {

using test::AppSandbox;

QJsonObject stateOnDisk()
{
    QFile file(userStateFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

QStringList files(std::initializer_list<int> numbers)
{
    QStringList names;
    for (const int n : numbers)
        names << QStringLiteral("/data/f%1.mdb").arg(n);
    return names;
}

TEST(UserState, RecentFilesKeepTheNewestTenOnceEachWithTheirTables)
{
    const struct {
        const char* name;
        std::function<void()> steps;
        QStringList recent;
        QStringList tablesKept;  // databases with a last table
    } cases[] = {
        {"newest first", [] { for (const QString& f : files({1, 2, 3})) rememberRecentFile(f); }, files({3, 2, 1}), {}},
        {"again: to the top, once",
         [] {
             for (const QString& f : files({1, 2, 3, 1})) rememberRecentFile(f);
         },
         files({1, 3, 2}), {}},
        {"ten at most; the table of one that drops off goes with it",
         [] {
             for (const int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}) rememberRecentFile(QStringLiteral("/data/f%1.mdb").arg(n));
             rememberLastTable(QStringLiteral("/data/f1.mdb"), QStringLiteral("Orders"));
             rememberLastTable(QStringLiteral("/data/f2.mdb"), QStringLiteral("People"));
             rememberLastTable(QStringLiteral("/data/elsewhere.mdb"), QStringLiteral("Never"));  // not recent
             rememberRecentFile(QStringLiteral("/data/f11.mdb"));
         },
         files({11, 10, 9, 8, 7, 6, 5, 4, 3, 2}), files({2})},
        {"a vanished file forgotten",
         [] {
             for (const QString& f : files({1, 2, 3})) rememberRecentFile(f);
             rememberLastTable(QStringLiteral("/data/f2.mdb"), QStringLiteral("People"));
             forgetRecentFile(QStringLiteral("/data/f2.mdb"));
         },
         files({3, 1}), {}},
        {"cleared",
         [] {
             for (const QString& f : files({1, 2})) rememberRecentFile(f);
             clearRecentFiles();
         },
         {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AppSandbox app;
        c.steps();
        EXPECT_EQ(userState().recentFiles, c.recent);
        QStringList withTables = userState().lastTables.keys();
        withTables.sort();
        EXPECT_EQ(withTables, c.tablesKept);
        // The file says the same, and Setup.ini is not touched.
        const QJsonObject disk = stateOnDisk();
        EXPECT_EQ(disk.value("recentFiles").toVariant().toStringList(), c.recent);
        EXPECT_EQ(disk.value("lastTables").toObject().keys(), c.tablesKept);
        EXPECT_FALSE(QFile::exists(app.file("Setup.ini")));
    }
}

// A build run from its folder keeps State.json beside Setup.ini; an installed one in
// $XDG_STATE_HOME/varnex (by default ~/.local/state/varnex), private to the user.
TEST(UserState, LivesBesideSetupIniOrInTheUsersStateFolder)
{
    AppSandbox app;
    test::TempDir user;
    const struct {
        const char* name;
        FolderLayout layout;
        std::optional<QString> stateHome;
        QString expected;
    } cases[] = {
        {"portable", FolderLayout::BesideExecutable, user.file("state"), app.file("State.json")},
        {"installed", FolderLayout::UserFolders, user.file("state"), user.file("state/varnex/State.json")},
        {"installed, no XDG_STATE_HOME", FolderLayout::UserFolders, std::nullopt,
         user.file("home/.local/state/varnex/State.json")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::UserEnvironment environment(user.file("home"), std::nullopt, c.stateHome);
        setFolderLayoutForTesting(c.layout);
        rememberRecentFile(QStringLiteral("/data/one.mdb"));
        EXPECT_EQ(userStateFile(), c.expected);
        EXPECT_EQ(stateOnDisk().value("recentFiles").toArray().size(), 1);
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(c.expected).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
    }
}

// A state file that cannot be taken as one is left out, with a log line, and replaced whole at
// the next change; entries of the wrong form are left out one by one.
TEST(UserState, WhatIsNoStateIsIgnored)
{
    const struct {
        const char* name;
        QByteArray bytes;
        QStringList recent;
        bool logged;
    } cases[] = {
        {"not JSON", "{\"recentFiles\": [", {}, true},
        {"no object", "[1, 2]", {}, true},
        {"entries of the wrong form", R"({"recentFiles": ["/a.mdb", 7, "", "/a.mdb", "/b.mdb"], "windowGeometry": 5})",
         {"/a.mdb", "/b.mdb"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AppSandbox app;
        QFile file(app.file("State.json"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        EXPECT_EQ(userState().recentFiles, c.recent);
        EXPECT_TRUE(userState().windowGeometry.isEmpty());
        EXPECT_EQ(QFile::exists(app.logFile()), c.logged);
        rememberRecentFile(QStringLiteral("/c.mdb"));
        EXPECT_EQ(stateOnDisk().value("recentFiles").toVariant().toStringList(), QStringList{"/c.mdb"} + c.recent);
    }
}

}  // namespace
}  // namespace varnex
