#include "BrowserFixture.h"

#include "app/GlobalSettings.h"
#include "browser/Twips.h"
#include "platform/data/DataTypes.h"
#include "platform/data/Recordset.h"

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

using MainWindowTest = BrowserFixture;

jetwriter::Database OneTable()
{
    jetwriter::Database database;
    database.tables.push_back(TextTable("Items", {"Name"}, {{std::string("one")}, {std::string("two")}}));
    return database;
}

// The widgets Tab visits, starting from the grid.
QList<QWidget*> TabOrder(const frmMain& window)
{
    QList<QWidget*> order{window.dgData};
    for (QWidget* w = window.dgData->nextInFocusChain(); w != window.dgData && order.size() < 50; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) != 0 && w->isVisibleTo(&window) && w->isEnabled() && w->window() == &window)
            order << w;
    return order;
}

TEST_F(MainWindowTest, ControlsAsCreated)
{
    OpenDatabase(OneTable());
    frmMain& window = ShowWindow();
    const float tpp = TwipsPerPixel(&window);
    EXPECT_EQ(window.windowTitle(), "Varnex");
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(window.cmdSettings->text(), "&Settings");
    EXPECT_EQ(window.cmdExport->text(), "E&xport");
    EXPECT_EQ(window.lblTable->text(), "Select Table");
    EXPECT_FALSE(window.cboTable->isEditable());
    EXPECT_FALSE(window.cmdExport->isDefault() || window.cmdExport->autoDefault());
    EXPECT_FALSE(window.cmdSettings->isDefault() || window.cmdSettings->autoDefault());
    for (const char* name : {"frmControls", "cmdSettings", "cmdExport", "cboTable", "lblTable", "dgData"})
        EXPECT_NE(window.findChild<QWidget*>(name), nullptr) << name;

    EXPECT_TRUE(window.lblTable->font().bold());
    EXPECT_DOUBLE_EQ(window.lblTable->font().pointSizeF(), 9.75);
    EXPECT_EQ(window.lblTable->font().families().value(0), "MS Sans Serif");
    EXPECT_DOUBLE_EQ(window.dgData->font().pointSizeF(), 8.25);
    EXPECT_DOUBLE_EQ(window.dgData->horizontalHeader()->font().pointSizeF(), 8.25);
    EXPECT_FALSE(window.dgData->font().bold());

    // The label and frame never take the focus; the rest cycle grid, list, Export, Settings.
    EXPECT_EQ(window.lblTable->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(window.frmControls->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(TabOrder(window), (QList<QWidget*>{window.dgData, window.cboTable, window.cmdExport, window.cmdSettings}));
    EXPECT_FALSE(window.dgData->tabKeyNavigation());  // Tab leaves the grid
    window.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), window.dgData);

    // Controls that no resize touches stay where they were put, in twips.
    EXPECT_EQ(window.cboTable->geometry(),
              QRect(TwipsToPixels(1560, tpp), TwipsToPixels(330, tpp), TwipsToPixels(2295, tpp), TwipsToPixels(315, tpp)));
    EXPECT_EQ(window.dgData->pos(), QPoint(TwipsToPixels(100, tpp), TwipsToPixels(960, tpp)));
}

TEST_F(MainWindowTest, NewWindowHasItsClientSizeAndIsCentred)
{
    frmMain window;
    const float tpp = TwipsPerPixel(&window);
    EXPECT_EQ(window.size(), QSize(TwipsToPixels(8175, tpp), TwipsToPixels(5100, tpp)));
    const QRect screen = window.screen()->availableGeometry();
    EXPECT_LE(std::abs(window.frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(window.frameGeometry().center().y() - screen.center().y()), 1);
}

TEST_F(MainWindowTest, ResizeFollowsOuterSizeAndSkipsMinimised)
{
    OpenDatabase(OneTable());
    frmMain& window = ShowWindow();
    const float tpp = TwipsPerPixel(&window);
    auto gridWidthTwips = [&] { return window.controlLayout().dgData.width; };

    window.resize(800, 600);
    EXPECT_EQ(gridWidthTwips(), window.OuterWidthTwips() - 300);
    EXPECT_EQ(window.controlLayout().dgData.height, window.OuterHeightTwips() - 1500);
    EXPECT_EQ(window.controlLayout().cmdExport.left, window.OuterWidthTwips() - 1700);
    EXPECT_EQ(window.dgData->width(), TwipsToPixels(window.OuterWidthTwips() - 300, tpp));
    EXPECT_EQ(window.cmdSettings->x(), TwipsToPixels(window.OuterWidthTwips() - 3000, tpp));

    // Below every threshold nothing changes.
    const MainLayout before = window.controlLayout();
    window.resize(TwipsToPixels(300, tpp), TwipsToPixels(1500, tpp));
    if (window.OuterWidthTwips() <= 300 && window.OuterHeightTwips() <= 1500) {
        EXPECT_EQ(window.controlLayout(), before);
    }

    window.resize(700, 500);
    const MainLayout restored = window.controlLayout();
    window.showMinimized();
    EXPECT_EQ(window.controlLayout(), restored);
    window.resize(900, 650);  // while minimised
    EXPECT_EQ(window.controlLayout(), restored);
    window.showNormal();
    EXPECT_EQ(gridWidthTwips(), window.OuterWidthTwips() - 300);
    EXPECT_EQ(window.dgData->width(), TwipsToPixels(window.OuterWidthTwips() - 300, tpp));
}

TEST_F(MainWindowTest, ClosingReleasesShownTableAndEndsProgram)
{
    for (const bool withTable : {false, true}) {
        SCOPED_TRACE(withTable ? "with a table" : "without a table");
        OpenDatabase(OneTable());
        ShowWindow();
        if (withTable)
            Pick("Items");
        const std::shared_ptr<Recordset> shown = window_->dgData->DataSource();
        ASSERT_EQ(shown != nullptr, withTable);
        const int endsBefore = EndProcessCount();

        window_->close();

        EXPECT_EQ(window_->dgData->DataSource(), nullptr);
        if (shown) {
            EXPECT_EQ(shown->State(), adStateClosed);
        }
        EXPECT_EQ(Globals().gConn, nullptr);  // closed and released on the way out
        EXPECT_EQ(EndProcessCount(), endsBefore + 1);
        EXPECT_TRUE(LogLines().isEmpty());
    }
}

}  // namespace
}  // namespace varnex::test
