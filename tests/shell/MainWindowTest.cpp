#include "MainWindowFixture.h"

#include "app/AppSettings.h"
#include "store/FieldTypes.h"
#include "data/Recordset.h"
#include "shell/Twips.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <cstdlib>

namespace varnex::test {
namespace {

using MainWindowTest = MainWindowFixture;

jetwriter::Database OneTable()
{
    jetwriter::Database database;
    database.tables.push_back(TextTable("Items", {"Name"}, {{std::string("one")}, {std::string("two")}}));
    return database;
}

// The widgets Tab visits, starting from the grid.
QList<QWidget*> TabOrder(const MainWindow& window)
{
    QList<QWidget*> order{window.grid};
    for (QWidget* w = window.grid->nextInFocusChain(); w != window.grid && order.size() < 50; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) != 0 && w->isVisibleTo(&window) && w->isEnabled() && w->window() == &window)
            order << w;
    return order;
}

TEST_F(MainWindowTest, ControlsAsCreated)
{
    OpenDatabase(OneTable());
    MainWindow& window = ShowWindow();
    const float tpp = screenTwipsPerPixel(&window);
    EXPECT_EQ(window.windowTitle(), "Varnex");
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(window.settingsButton->text(), "&Settings");
    EXPECT_EQ(window.exportButton->text(), "E&xport");
    EXPECT_EQ(window.tableLabel->text(), "Select Table");
    EXPECT_FALSE(window.tableList->isEditable());
    EXPECT_FALSE(window.exportButton->isDefault() || window.exportButton->autoDefault());
    EXPECT_FALSE(window.settingsButton->isDefault() || window.settingsButton->autoDefault());
    for (const char* name : {"frmControls", "cmdSettings", "cmdExport", "cboTable", "lblTable", "dgData"})
        EXPECT_NE(window.findChild<QWidget*>(name), nullptr) << name;

    EXPECT_TRUE(window.tableLabel->font().bold());
    EXPECT_DOUBLE_EQ(window.tableLabel->font().pointSizeF(), 9.75);
    EXPECT_EQ(window.tableLabel->font().families().value(0), "MS Sans Serif");
    EXPECT_DOUBLE_EQ(window.grid->font().pointSizeF(), 8.25);
    EXPECT_DOUBLE_EQ(window.grid->horizontalHeader()->font().pointSizeF(), 8.25);
    EXPECT_FALSE(window.grid->font().bold());

    // The label and frame never take the focus; the rest cycle grid, list, Export, Settings.
    EXPECT_EQ(window.tableLabel->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(window.controlFrame->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(TabOrder(window), (QList<QWidget*>{window.grid, window.tableList, window.exportButton, window.settingsButton}));
    EXPECT_FALSE(window.grid->tabKeyNavigation());  // Tab leaves the grid
    window.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), window.grid);

    // Controls that no resize touches stay where they were put, in twips.
    EXPECT_EQ(window.tableList->geometry(),
              QRect(twipsToPixels(1560, tpp), twipsToPixels(330, tpp), twipsToPixels(2295, tpp), twipsToPixels(315, tpp)));
    EXPECT_EQ(window.grid->pos(), QPoint(twipsToPixels(100, tpp), twipsToPixels(960, tpp)));
}

// A new window takes two thirds of the available screen (the controls keep their twips below the menu bar).
TEST_F(MainWindowTest, NewWindowHasItsClientSizeAndIsCentred)
{
    MainWindow window;
    EXPECT_EQ(window.size(), window.screen()->availableSize() * 2 / 3);
    EXPECT_EQ(window.clientArea->geometry(), QRect(0, window.menuBarHeight(), window.width(), window.height() - window.menuBarHeight()));
    const QRect screen = window.screen()->availableGeometry();
    EXPECT_LE(std::abs(window.frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(window.frameGeometry().center().y() - screen.center().y()), 1);
}

TEST_F(MainWindowTest, ResizeFollowsOuterSizeAndSkipsMinimised)
{
    OpenDatabase(OneTable());
    MainWindow& window = ShowWindow();
    const float tpp = screenTwipsPerPixel(&window);
    auto gridWidthTwips = [&] { return window.controlLayout().grid.width; };

    window.resize(800, 600);
    EXPECT_EQ(gridWidthTwips(), window.outerWidthTwips() - 300);
    EXPECT_EQ(window.controlLayout().grid.height, window.outerHeightTwips() - 1500);
    EXPECT_EQ(window.controlLayout().exportButton.left, window.outerWidthTwips() - 1700);
    EXPECT_EQ(window.grid->width(), twipsToPixels(window.outerWidthTwips() - 300, tpp));
    EXPECT_EQ(window.settingsButton->x(), twipsToPixels(window.outerWidthTwips() - 3000, tpp));

    // Below every threshold nothing changes.
    const MainLayout before = window.controlLayout();
    window.resize(twipsToPixels(300, tpp), twipsToPixels(1500, tpp));
    if (window.outerWidthTwips() <= 300 && window.outerHeightTwips() <= 1500) {
        EXPECT_EQ(window.controlLayout(), before);
    }

    window.resize(700, 500);
    const MainLayout restored = window.controlLayout();
    window.showMinimized();
    EXPECT_EQ(window.controlLayout(), restored);
    window.resize(900, 650);  // while minimised
    EXPECT_EQ(window.controlLayout(), restored);
    window.showNormal();
    EXPECT_EQ(gridWidthTwips(), window.outerWidthTwips() - 300);
    EXPECT_EQ(window.grid->width(), twipsToPixels(window.outerWidthTwips() - 300, tpp));
}

TEST_F(MainWindowTest, ClosingReleasesShownTableAndEndsProgram)
{
    for (const bool withTable : {false, true}) {
        SCOPED_TRACE(withTable ? "with a table" : "without a table");
        OpenDatabase(OneTable());
        ShowWindow();
        if (withTable)
            Pick("Items");
        const std::shared_ptr<Recordset> shown = window_->grid->recordset();
        ASSERT_EQ(shown != nullptr, withTable);
        const int endsBefore = EndProcessCount();

        window_->close();

        EXPECT_EQ(window_->grid->recordset(), nullptr);
        if (shown) {
            EXPECT_FALSE(shown->isOpen());
        }
        EXPECT_EQ(appSettings().connection, nullptr);  // closed and released on the way out
        EXPECT_EQ(EndProcessCount(), endsBefore + 1);
        EXPECT_TRUE(LogLines().isEmpty());
    }
}

}  // namespace
}  // namespace varnex::test
