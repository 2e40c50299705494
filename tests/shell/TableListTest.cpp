#include "MainWindowFixture.h"

#include "app/AppSettings.h"
#include "data/Connection.h"

#include <QComboBox>

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
