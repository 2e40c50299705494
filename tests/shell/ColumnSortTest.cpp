#include "MainWindowFixture.h"

#include "data/Recordset.h"

#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTimer>
#include <QtTest/QTest>

namespace varnex::test {
namespace {

class ColumnSortTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        jetwriter::Table people = TextTable("People", {"Name", "Home Town"});
        people.columns.push_back({"Age", jetwriter::ColumnType::Long});
        people.rows = {{std::string("Carol"), std::string("Oslo"), int64_t{30}},
                       {std::string("Alice"), std::string("Rome"), int64_t{25}},
                       {std::string("Bob"), std::string("Lima"), int64_t{41}}};
        jetwriter::Database database;
        database.tables.push_back(people);
        OpenDatabase(database);
        ShowWindow();
        Pick("People");
    }

    QPoint HeadingCentre(int column) const
    {
        QHeaderView* header = window_->grid->horizontalHeader();
        return {header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2};
    }

    void ClickHeading(int column, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(window_->grid->horizontalHeader()->viewport(), Qt::LeftButton, modifiers,
                          HeadingCentre(column));
    }

    QPoint CellCentre(int row, int column) const
    {
        return window_->grid->visualRect(window_->grid->model()->index(row, column)).center();
    }
};

TEST_F(ColumnSortTest, DoubleClickSortsOnlyWithExactlyOneColumnSelected)
{
    const struct {
        const char* name;
        std::vector<std::pair<int, Qt::KeyboardModifiers>> headingClicks;
        int selStart;
        int selEnd;
        QStringList names;
    } cases[] = {
        {"no column", {}, -1, -1, {"Carol", "Alice", "Bob"}},
        {"one column", {{2, {}}}, 2, 2, {"Alice", "Carol", "Bob"}},
        {"column with blanks", {{1, {}}}, 1, 1, {"Bob", "Carol", "Alice"}},
        {"two columns by shift", {{0, {}}, {1, Qt::ShiftModifier}}, 0, 1, {"Carol", "Alice", "Bob"}},
        {"two columns by ctrl", {{0, {}}, {2, Qt::ControlModifier}}, 0, 2, {"Carol", "Alice", "Bob"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Pick("People");
        for (const auto& [column, modifiers] : c.headingClicks)
            ClickHeading(column, modifiers);
        EXPECT_EQ(window_->grid->firstSelectedColumn(), c.selStart);
        EXPECT_EQ(window_->grid->lastSelectedColumn(), c.selEnd);
        emit window_->grid->doubleClickedAnywhere();
        EXPECT_EQ(ColumnTexts(0), c.names);
    }
    EXPECT_TRUE(LogLines().isEmpty());
    EXPECT_EQ(MessageBoxCount(), 0);
}

TEST_F(ColumnSortTest, DoubleClickOnHeadingSortsAndOnCellDoesNot)
{
    QTest::mouseDClick(window_->grid->viewport(), Qt::LeftButton, {}, CellCentre(1, 2));
    EXPECT_EQ(ColumnTexts(0), (QStringList{"Carol", "Alice", "Bob"}));

    ClickHeading(2);
    QTest::mouseDClick(window_->grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, HeadingCentre(2));
    EXPECT_EQ(ColumnTexts(0), (QStringList{"Alice", "Carol", "Bob"}));
    EXPECT_EQ(window_->grid->recordset()->sort(), "[Age]");

    // Again on the same column: same order, still ascending.
    QTest::mouseDClick(window_->grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, HeadingCentre(2));
    EXPECT_EQ(ColumnTexts(0), (QStringList{"Alice", "Carol", "Bob"}));

    // A cell double-click after that leaves the order alone.
    QTest::mouseDClick(window_->grid->viewport(), Qt::LeftButton, {}, CellCentre(0, 0));
    EXPECT_EQ(ColumnTexts(0), (QStringList{"Alice", "Carol", "Bob"}));
    EXPECT_EQ(MessageBoxCount(), 0);
}

// The sorted column's heading carries the indicator; a click that selects another column leaves
// it there, a reload takes it away.
TEST_F(ColumnSortTest, SortIndicatorMarksTheSortedColumn)
{
    QHeaderView* header = window_->grid->horizontalHeader();
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorSection(), -1);

    ClickHeading(2);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, HeadingCentre(2));
    EXPECT_EQ(header->sortIndicatorSection(), 2);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);

    ClickHeading(0);
    ClickHeading(0);
    EXPECT_EQ(window_->grid->firstSelectedColumn(), 0);
    EXPECT_EQ(header->sortIndicatorSection(), 2);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);

    Pick("People");
    EXPECT_EQ(header->sortIndicatorSection(), -1);
}

// The keyboard and the heading's menu sort through the recordset's sort, ascending or descending.
TEST_F(ColumnSortTest, KeyboardAndHeadingMenuSort)
{
    DataGrid& grid = *window_->grid;
    QHeaderView* header = grid.horizontalHeader();
    // What a right-click on a heading shows, with one of its entries chosen.
    auto chooseFromHeadingMenu = [&](int column, const char* entry) {
        QTimer::singleShot(0, [entry] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            menu->findChild<QAction*>(entry)->trigger();
            menu->close();
        });
        emit header->customContextMenuRequested(HeadingCentre(column));
    };
    const struct {
        const char* name;
        std::function<void()> act;
        QStringList names;
        QString sort;
        int indicator;
        Qt::SortOrder order;
    } cases[] = {
        {"Ctrl+Shift+S on a cell",
         [&] {
             grid.setCurrentIndex(grid.model()->index(0, 1));
             QTest::keyClick(&grid, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
         },
         {"Bob", "Carol", "Alice"}, "[Home Town]", 1, Qt::AscendingOrder},
        {"menu, ascending", [&] { chooseFromHeadingMenu(2, "mnuSortAscending"); }, {"Alice", "Carol", "Bob"}, "[Age]", 2,
         Qt::AscendingOrder},
        {"menu, descending", [&] { chooseFromHeadingMenu(0, "mnuSortDescending"); }, {"Carol", "Bob", "Alice"},
         "[Name] DESC", 0, Qt::DescendingOrder},
        {"double-click: ascending again",
         [&] {
             ClickHeading(0);
             QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, HeadingCentre(0));
         },
         {"Alice", "Bob", "Carol"}, "[Name]", 0, Qt::AscendingOrder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.act();
        EXPECT_EQ(ColumnTexts(0), c.names);
        EXPECT_EQ(grid.recordset()->sort(), c.sort);
        EXPECT_EQ(header->sortIndicatorSection(), c.indicator);
        EXPECT_EQ(header->sortIndicatorOrder(), c.order);
    }
    EXPECT_TRUE(LogLines().isEmpty());
}

TEST_F(ColumnSortTest, RefusedSortIsLoggedAndKeepsOrder)
{
    jetwriter::Table odd = TextTable("Odd", {"Odd]Name"}, {{std::string("b")}, {std::string("a")}});
    jetwriter::Database database;
    database.tables.push_back(odd);
    OpenDatabase(database);
    window_->refillTableList();
    Pick("Odd");
    ClickHeading(0);
    emit window_->grid->doubleClickedAnywhere();
    EXPECT_EQ(ColumnTexts(0), (QStringList{"b", "a"}));
    const QStringList log = LogLines();
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log.front().contains("GridSortERROR: ")) << log.front().toStdString();
    EXPECT_EQ(LastMessageBoxTitle(), "GridSortERROR: ");
}

}  // namespace
}  // namespace varnex::test
