#include "MainWindowFixture.h"

#include "app/AppSettings.h"
#include "data/Connection.h"
#include "data/Recordset.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QtTest/QTest>

#include <functional>

namespace varnex::test {
namespace {

using TableListTest = MainWindowFixture;

jetwriter::Database NamedTables(const std::vector<std::string>& names)
{
    jetwriter::Database database;
    for (const std::string& name : names)
        database.tables.push_back(TextTable(name, {"Value"}));
    return database;
}

TEST_F(TableListTest, ListsUserTablesWithoutMsysPrefixInSchemaOrder)
{
    struct Case {
        const char* name;
        std::vector<std::string> tables;
        QStringList expected;
    };
    const Case cases[] = {
        {"only system tables", {}, {}},
        {"prefix in any case, blanks kept",
         {"Orders", "MSysLocal", "msysNotes", "MSYSTEMS", "Order Lines", "MSY", "XMSYS", "SYS"},
         {"MSY", "Order Lines", "Orders", "SYS", "XMSYS"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenDatabase(NamedTables(c.tables));
        ShowWindow();
        EXPECT_EQ(ListEntries(), c.expected);
        EXPECT_EQ(window_->tableList->currentIndex(), -1);
        EXPECT_EQ(window_->tableList->currentText(), "");
        EXPECT_EQ(window_->grid->recordset(), nullptr);
    }
}

// Moving through the closed list with the keys loads no table passed over: only the one the keys
// rest on for a moment, or the one named when the focus leaves the list or its list closes.
TEST_F(TableListTest, KeysOverTheClosedListLoadOnlyTheTableWhereTheyRest)
{
    OpenDatabase(NamedTables({"Alpha", "Beta", "Gamma", "Delta"}));
    ShowWindow();
    TableListBox& list = *window_->tableList;
    const struct {
        const char* name;
        int downs;                     // from Alpha, the table shown (the list is sorted)
        std::function<void()> settle;  // empty: the keys rest
        QString shown;
    } cases[] = {
        {"resting", 3, {}, "Gamma"},
        {"focus leaves", 1, [&] { window_->grid->setFocus(); }, "Beta"},
        {"list opened and closed", 2, [&] { list.showPopup(); list.hidePopup(); }, "Delta"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window_->showTable("Alpha");
        const std::shared_ptr<Recordset> alpha = window_->grid->recordset();
        ASSERT_NE(alpha, nullptr);
        list.setFocus();
        QSignalSpy shown(window_.get(), &MainWindow::tableShown);
        for (int i = 0; i < c.downs; ++i)
            QTest::keyClick(&list, Qt::Key_Down);
        EXPECT_TRUE(shown.isEmpty());
        EXPECT_TRUE(list.choicePending());
        EXPECT_EQ(window_->grid->recordset(), alpha);
        if (c.settle)
            c.settle();
        else
            EXPECT_TRUE(shown.wait(10000));
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown.front().front().toString(), c.shown);
        EXPECT_EQ(list.currentText(), c.shown);
        EXPECT_FALSE(list.choicePending());
    }
}

TEST_F(TableListTest, EmptyDatabasePathLeavesListAsItWas)
{
    OpenDatabase(NamedTables({"Alpha", "Beta"}));
    ShowWindow();
    appSettings().dataPath.clear();
    OpenDatabase(NamedTables({"Gamma"}));
    appSettings().dataPath.clear();
    window_->refillTableList();
    EXPECT_EQ(ListEntries(), (QStringList{"Alpha", "Beta"}));
    EXPECT_TRUE(LogLines().isEmpty());
}

TEST_F(TableListTest, RefillAfterStartUpReportsFailureAndKeepsRunning)
{
    OpenDatabase(NamedTables({"Alpha", "Beta"}));
    ShowWindow();
    ASSERT_TRUE(appSettings().connection->close().ok());

    window_->refillTableList();

    EXPECT_EQ(LogLines().size(), 1);
    EXPECT_EQ(MessageBoxCount(), 1);
    EXPECT_EQ(LastMessageBoxTitle(), "FillTableList");
    EXPECT_EQ(ListEntries(), (QStringList{"Alpha", "Beta"}));
    EXPECT_EQ(EndProcessCount(), 0);
    // While starting up the same failure goes back to the caller instead.
    EXPECT_FALSE(window_->fillTableList().ok());
    EXPECT_EQ(MessageBoxCount(), 1);
}

}  // namespace
}  // namespace varnex::test
