// Column widths: fitted to the types and to rows over the whole table, cut cells tooltipped,
// widths the user set kept for the table until another database is shown.

#include "MainWindowFixture.h"
#include "support/TableBuilders.h"

#include "data/Recordset.h"
#include "shell/GridColumnWidths.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QStyleOptionViewItem>
#include <QHelpEvent>
#include <QLocale>
#include <QTextDocument>
#include <QToolTip>
#include <QtTest/QTest>

namespace varnex::test {
namespace {

using jetwriter::ColumnType;

const std::string kLongAddress =
    "Brook Farm, Lower Meadow Lane, Little Snoring near Fakenham, Norfolk, England, United Kingdom, "
    "second gate on the left after the old mill, ring twice";

jetwriter::Column LongText(std::string name)
{
    jetwriter::Column column = Column(std::move(name), ColumnType::Text);
    column.size = 255;
    return column;
}

jetwriter::Table Orders()
{
    return Table("Orders",
                 {Column("Id", ColumnType::Long), Column("Placed", ColumnType::DateTime),
                  Column("Amount", ColumnType::Double), LongText("Address"), Column("Notes", ColumnType::Memo)},
                 {{I(1), jetwriter::DateValue{43601.59}, 1234567.125, T("Short Road 1"), T("one line")},
                  {I(22), jetwriter::DateValue{43602.0}, -0.5, T(kLongAddress.substr(0, 250)), T("two\r\nlines")},
                  {I(333), N(), N(), N(), N()}});
}

class ColumnWidthTest : public MainWindowFixture {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    int TextWidth(const QString& text) const { return window_->grid->fontMetrics().horizontalAdvance(text); }

    // The width the view's own item delegate asks for the cell, with the grid line, as Qt fits a column.
    int WidthShowingWhole(const QModelIndex& index) const
    {
        QStyleOptionViewItem option;
        option.initFrom(window_->grid);
        option.font = window_->grid->font();
        return window_->grid->itemDelegate()->sizeHint(option, index).width() + 1;
    }

    // The tooltip a user sees on resting the mouse on a cell, as plain text.
    QString ToolTipShownAt(int row, int column) const
    {
        QToolTip::hideText();
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
        DataGrid& grid = *window_->grid;
        const QRect cell = grid.visualRect(grid.model()->index(row, column));
        QHelpEvent help(QEvent::ToolTip, cell.center(), grid.viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(grid.viewport(), &help);
        if (!QToolTip::isVisible())
            return {};
        QTextDocument shown;
        shown.setHtml(QToolTip::text());
        return shown.toPlainText();
    }
};

// Every cell of a number or date column shows whole; a long text shows in part with its whole text as tooltip.
TEST_F(ColumnWidthTest, NumbersAndDatesShowWholeCutTextsHaveTooltips)
{
    jetwriter::Database database;
    database.tables.push_back(Orders());
    OpenDatabase(database);
    ShowWindow();
    Pick("Orders");
    DataGrid& grid = *window_->grid;
    ASSERT_EQ(ColumnTexts(1), (QStringList{"5/16/2019 2:09:36 PM", "5/17/2019", ""}));

    const struct {
        int row;
        int column;
        bool tooltip;
    } cases[] = {
        {0, 0, false}, {2, 0, false}, {0, 1, false}, {1, 1, false}, {0, 2, false}, {1, 2, false},
        {0, 3, false}, {1, 3, true},  {2, 3, false}, {0, 4, false}, {1, 4, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << ", column " << c.column);
        const QString text = grid.model()->index(c.row, c.column).data().toString();
        if (c.tooltip) {
            EXPECT_EQ(ToolTipShownAt(c.row, c.column), QString(text).replace("\r\n", "\n"));
        } else {
            EXPECT_LE(WidthShowingWhole(grid.model()->index(c.row, c.column)), grid.columnWidth(c.column));
            EXPECT_TRUE(ToolTipShownAt(c.row, c.column).isEmpty());
        }
    }
    // The long text's column takes a share of the grid, not the text's whole width.
    EXPECT_LT(grid.columnWidth(3), TextWidth(QString::fromStdString(kLongAddress.substr(0, 250))));
    EXPECT_LE(grid.columnWidth(3), grid.viewport()->width() / 2);
    EXPECT_GE(grid.columnWidth(3), TextWidth("Short Road 1"));
}

// Rows the first look did not sample widen their columns once every row is profiled.
TEST_F(ColumnWidthTest, NumberAndDateColumnsFitRowsAnywhereInTheTable)
{
    jetwriter::Table many = Table("Many", {Column("Amount", ColumnType::Double), Column("Placed", ColumnType::DateTime)}, {});
    for (int row = 0; row < 1000; ++row) {
        const bool outlier = row == 101;  // between the sampled rows
        many.rows.push_back({outlier ? jetwriter::Cell{-123456789.123456} : jetwriter::Cell{1.0},
                             jetwriter::DateValue{outlier ? 43601.59 : 43601.0}});
    }
    jetwriter::Database database;
    database.tables.push_back(many);
    OpenDatabase(database);
    ShowWindow();
    Pick("Many");
    WaitForGrid();
    DataGrid& grid = *window_->grid;
    ASSERT_EQ(grid.model()->index(101, 0).data().toString(), "-123456789.123456");
    for (int column : {0, 1}) {
        SCOPED_TRACE(column);
        EXPECT_LE(WidthShowingWhole(grid.model()->index(101, column)), grid.columnWidth(column));
        EXPECT_TRUE(grid.toolTipFor(grid.model()->index(101, column)).isEmpty());
    }
}

// A width set by dragging stays through sorts, filters and reloads of the table, and until another
// database is shown; other tables keep their own.
TEST_F(ColumnWidthTest, WidthsTheUserSetStayUntilAnotherDatabase)
{
    jetwriter::Database database;
    database.tables = {Orders(), TextTable("Other", {"Address"}, {{std::string("x")}})};
    OpenDatabase(database);
    ShowWindow();
    Pick("Orders");
    DataGrid& grid = *window_->grid;
    const int fitted = grid.columnWidth(3);
    grid.horizontalHeader()->resizeSection(3, fitted + 77);  // what a drag of the heading's edge does

    const struct {
        const char* step;
        std::function<void()> act;
        int expected;
    } steps[] = {
        {"sorted", [&] { window_->sortByColumn(0, Qt::DescendingOrder); }, fitted + 77},
        {"filtered", [&] { grid.setFilterText("Road"); }, fitted + 77},
        {"reloaded", [&] { Pick("Orders"); }, fitted + 77},
        {"another table and back", [&] { Pick("Other"); Pick("Orders"); }, fitted + 77},
        {"another database", [&] {
             OpenDatabase(database);
             window_->refillTableList();
             Pick("Orders");
         }, fitted},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        step.act();
        EXPECT_EQ(grid.columnWidth(3), step.expected);
    }
    EXPECT_TRUE(LogLines().isEmpty());
}

TEST(SamplePositionsTest, SpreadOverTheWholeTable)
{
    const struct {
        int64_t rows;
        int count;
        std::vector<int64_t> expected;
    } cases[] = {
        {0, 6, {}},
        {4, 6, {0, 1, 2, 3}},
        {6, 6, {0, 1, 2, 3, 4, 5}},
        {100, 6, {0, 1, 2, 50, 98, 99}},
        {1000000, 7, {0, 1, 2, 333334, 666666, 999998, 999999}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows);
        EXPECT_EQ(samplePositions(c.rows, c.count), c.expected);
    }
}

}  // namespace
}  // namespace varnex::test
