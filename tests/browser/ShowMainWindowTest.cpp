#include "BrowserFixture.h"

#include "app/GlobalSettings.h"
#include "app/ShowMainWindow.h"
#include "platform/Forms.h"
#include "platform/data/Connection.h"

#include <QComboBox>

namespace varnex::test {
namespace {

class ShowMainWindowTest : public BrowserFixture {
protected:
    void TearDown() override
    {
        for (QWidget* form : LoadedForms())
            delete form;
    }

    static frmMain* LoadedMainWindow()
    {
        const QList<QWidget*> forms = LoadedForms();
        return forms.size() == 1 ? qobject_cast<frmMain*>(forms.front()) : nullptr;
    }
};

TEST_F(ShowMainWindowTest, ShowsTheLoadedWindowWithItsTableList)
{
    jetwriter::Database database;
    database.tables.push_back(TextTable("Items", {"Name"}));
    OpenDatabase(database);

    ShowMainWindow();

    frmMain* window = LoadedMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->objectName(), "frmMain");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->cboTable->count(), 1);
}

TEST_F(ShowMainWindowTest, FailingTableListAtStartUpGoesToTheCaller)
{
    jetwriter::Database database;
    database.tables.push_back(TextTable("Items", {"Name"}));
    OpenDatabase(database);
    ASSERT_TRUE(Globals().gConn->Close().ok());

    EXPECT_THROW(ShowMainWindow(), RaisedError);

    frmMain* window = LoadedMainWindow();
    ASSERT_NE(window, nullptr);  // loaded, so that shutting down unloads it
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(LogLines().isEmpty());  // the start-up routine reports it
    EXPECT_EQ(MessageBoxCount(), 0);
}

}  // namespace
}  // namespace varnex::test
