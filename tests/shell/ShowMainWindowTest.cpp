#include "MainWindowFixture.h"

#include "app/AppSettings.h"
#include "data/Connection.h"
#include "shell/ShowMainWindow.h"
#include "shell/Windows.h"

#include <QComboBox>

namespace varnex::test {
namespace {

class ShowMainWindowTest : public MainWindowFixture {
protected:
    void TearDown() override
    {
        for (QWidget* form : loadedWindows())
            delete form;
    }

    static MainWindow* LoadedMainWindow()
    {
        const QList<QWidget*> forms = loadedWindows();
        return forms.size() == 1 ? qobject_cast<MainWindow*>(forms.front()) : nullptr;
    }
};

TEST_F(ShowMainWindowTest, ShowsTheLoadedWindowWithItsTableList)
{
    jetwriter::Database database;
    database.tables.push_back(TextTable("Items", {"Name"}));
    OpenDatabase(database);

    ASSERT_TRUE(showMainWindow().ok());

    MainWindow* window = LoadedMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->objectName(), "frmMain");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->tableList->count(), 1);
}

TEST_F(ShowMainWindowTest, FailingTableListAtStartUpGoesToTheCaller)
{
    jetwriter::Database database;
    database.tables.push_back(TextTable("Items", {"Name"}));
    OpenDatabase(database);
    ASSERT_TRUE(appSettings().connection->close().ok());

    EXPECT_FALSE(showMainWindow().ok());

    MainWindow* window = LoadedMainWindow();
    ASSERT_NE(window, nullptr);  // loaded, so that shutting down unloads it
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(LogLines().isEmpty());  // the start-up routine reports it
    EXPECT_EQ(MessageBoxCount(), 0);
}

}  // namespace
}  // namespace varnex::test
