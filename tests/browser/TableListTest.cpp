#include "BrowserFixture.h"

#include "app/GlobalSettings.h"
#include "platform/data/Connection.h"

#include <QComboBox>

namespace varnex::test {
namespace {

using TableListTest = BrowserFixture;

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
        EXPECT_EQ(window_->cboTable->currentIndex(), -1);
        EXPECT_EQ(window_->cboTable->currentText(), "");
        EXPECT_EQ(window_->dgData->DataSource(), nullptr);
    }
}

TEST_F(TableListTest, EmptyDatabasePathLeavesListAsItWas)
{
    OpenDatabase(NamedTables({"Alpha", "Beta"}));
    ShowWindow();
    Globals().gDataPath.clear();
    OpenDatabase(NamedTables({"Gamma"}));
    Globals().gDataPath.clear();
    window_->FillTableList();
    EXPECT_EQ(ListEntries(), (QStringList{"Alpha", "Beta"}));
    EXPECT_TRUE(LogLines().isEmpty());
}

TEST_F(TableListTest, RefillAfterStartUpReportsFailureAndKeepsRunning)
{
    OpenDatabase(NamedTables({"Alpha", "Beta"}));
    ShowWindow();
    ASSERT_TRUE(Globals().gConn->Close().ok());

    window_->FillTableList();

    EXPECT_EQ(LogLines().size(), 1);
    EXPECT_EQ(MessageBoxCount(), 1);
    EXPECT_EQ(LastMessageBoxTitle(), "FillTableList");
    EXPECT_EQ(ListEntries(), (QStringList{"Alpha", "Beta"}));
    EXPECT_EQ(EndProcessCount(), 0);
    // While starting up the same failure goes back to the caller instead.
    EXPECT_FALSE(window_->Form_Load().ok());
    EXPECT_EQ(MessageBoxCount(), 1);
}

}  // namespace
}  // namespace varnex::test
