// The find bar: Ctrl+F opens it below the grid, typing filters the rows, Esc clears and closes it;
// the status line counts the rows and names the database.

#include "MainWindowFixture.h"
#include "support/TableBuilders.h"

#include "app/AppSettings.h"
#include "data/Recordset.h"
#include "shell/DataGrid.h"
#include "shell/FindBar.h"
#include "shell/StatusLine.h"
#include "shell/Twips.h"

#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>

namespace varnex::test {
namespace {

using jetwriter::ColumnType;

jetwriter::Table People()
{
    return Table("People",
                 {Column("RecId", ColumnType::Text), Column("Name", ColumnType::Text),
                  Column("Town", ColumnType::Text), Column("Age", ColumnType::Long)},
                 {{T("hidden1"), T("M\u00fcller"), T("Oslo"), I(30)},
                  {T("hidden2"), T("MULLER"), T("50% [Rome]*"), I(41)},
                  {T("hidden3"), T("Zo\u00eb \"Z\""), T("Lima"), N()},
                  {T("hidden4"), T("\u00c9milie"), T("Kyiv"), I(7)},
                  {T("hidden5"), T("bob"), N(), I(300)},
                  {T("hidden6"), T("Ann-Marie"), T("O'Hara"), I(1)}});
}

class FindFilterTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        jetwriter::Database database;
        database.tables = {People(), TextTable("Towns", {"Town"}, {{std::string("Oslo")}, {std::string("Rome")}})};
        OpenDatabase(database);
        ShowWindow();
        Pick("People");
    }

    QLineEdit& FindEdit() const { return *window_->findBar->edit; }
    // Opens a database of table Big, 60,000 rows of "Fizz N" (every third) or "Buzz N" and N, and shows it.
    void ShowBigTable()
    {
        jetwriter::Table big = TextTable("Big", {"Text"});
        big.columns.push_back({"Number", ColumnType::Long});
        int64_t next = 0;
        big.rowSource = [&next](jetwriter::Row& row) {
            if (next == 60000)
                return false;
            row = {std::string(next % 3 == 0 ? "Fizz " : "Buzz ") + std::to_string(next), next};
            ++next;
            return true;
        };
        jetwriter::Database database;
        database.tables = {big};
        OpenDatabase(database);
        window_->refillTableList();
        Pick("Big");
    }
    QString StatusRows() const { return window_->statusLine->rowCount->text(); }
};

// Ctrl+F opens the bar in the grid's area; Esc clears the filter, closes the bar and gives the area back.
TEST_F(FindFilterTest, CtrlFOpensTheBarBelowTheGridAndEscClosesIt)
{
    MainWindow& window = *window_;
    const float tpp = screenTwipsPerPixel(&window);
    const QRect area(twipsToPixels(window.controlLayout().grid.left, tpp), twipsToPixels(window.controlLayout().grid.top, tpp),
                     twipsToPixels(window.controlLayout().grid.width, tpp), twipsToPixels(window.controlLayout().grid.height, tpp));
    const int gridHeight = window.grid->height();
    EXPECT_FALSE(window.findBar->isVisible());
    EXPECT_EQ(window.statusLine->geometry().bottom(), area.bottom());
    EXPECT_EQ(window.grid->geometry().bottom() + 1, window.statusLine->geometry().top());

    window.activateWindow();
    QApplication::processEvents();
    window.grid->setFocus();
    QTest::keyClick(window.grid, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(window.findBar->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), &FindEdit());
    EXPECT_LT(window.grid->height(), gridHeight);
    EXPECT_EQ(window.grid->geometry().top(), area.top());
    EXPECT_EQ(window.grid->geometry().bottom() + 1, window.findBar->geometry().top());
    EXPECT_EQ(window.findBar->geometry().bottom() + 1, window.statusLine->geometry().top());
    EXPECT_EQ(window.statusLine->geometry().bottom(), area.bottom());
    EXPECT_GE(window.findBar->height(), FindEdit().sizeHint().height() - 2);

    QTest::keyClicks(&FindEdit(), "oslo");
    EXPECT_EQ(ColumnTexts(1), QStringList{"M\u00fcller"});
    QTest::keyClick(&FindEdit(), Qt::Key_Escape);
    EXPECT_FALSE(window.findBar->isVisible());
    EXPECT_TRUE(FindEdit().text().isEmpty());
    EXPECT_EQ(ColumnTexts(1).size(), 6);
    EXPECT_EQ(StatusRows(), "6 rows");
    EXPECT_EQ(window.grid->height(), gridHeight);
    EXPECT_EQ(QApplication::focusWidget(), window.grid);

    // Ctrl+F again selects what was typed, for typing over.
    window.openFindBar();
    QTest::keyClicks(&FindEdit(), "rome");
    QTest::keyClick(window.grid, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(FindEdit().selectedText(), "rome");
}

// What is typed is plain text, found in any shown column without regard to case; the status line counts.
TEST_F(FindFilterTest, TypedTextFiltersTheRows)
{
    window_->openFindBar();
    const struct {
        const char* name;
        QString typed;
        QStringList names;
        QString status;
    } cases[] = {
        {"letter case", "MüLLER", {"M\u00fcller"}, "1 of 6 rows"},
        {"ASCII", "ller", {"M\u00fcller", "MULLER"}, "2 of 6 rows"},
        {"non-ASCII, any case", "\u00e9MILIE", {"\u00c9milie"}, "1 of 6 rows"},
        {"a number as shown", "30", {"M\u00fcller", "bob"}, "2 of 6 rows"},
        {"percent", "50%", {"MULLER"}, "1 of 6 rows"},
        {"brackets and star", "[rome]*", {"MULLER"}, "1 of 6 rows"},
        {"a star alone", "*", {"MULLER"}, "1 of 6 rows"},
        {"double quotes", "\"z\"", {"Zo\u00eb \"Z\""}, "1 of 6 rows"},
        {"an apostrophe", "o'h", {"Ann-Marie"}, "1 of 6 rows"},
        {"a control character", QString(QChar(7)), {}, "0 of 6 rows"},
        {"no match", "zzz", {}, "0 of 6 rows"},
        {"hidden record id column", "hidden", {}, "0 of 6 rows"},
        {"cleared", "", {"M\u00fcller", "MULLER", "Zo\u00eb \"Z\"", "\u00c9milie", "bob", "Ann-Marie"}, "6 rows"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FindEdit().setText(c.typed);
        EXPECT_EQ(ColumnTexts(1), c.names);
        EXPECT_EQ(StatusRows(), c.status);
        EXPECT_EQ(*window_->grid->recordset()->recordCount(), c.names.size());
    }
    EXPECT_TRUE(LogLines().isEmpty());
    EXPECT_EQ(MessageBoxCount(), 0);
}

// Typing on narrows what is shown; sorting keeps the filter; another table is filtered by the same text.
TEST_F(FindFilterTest, FilterFollowsTypingSortingAndTheTableShown)
{
    window_->openFindBar();
    const struct {
        const char* step;
        std::function<void()> act;
        QStringList names;
    } steps[] = {
        {"one letter", [&] { QTest::keyClicks(&FindEdit(), "l"); }, {"M\u00fcller", "MULLER", "Zo\u00eb \"Z\"", "\u00c9milie"}},
        {"narrowed", [&] { QTest::keyClicks(&FindEdit(), "i"); }, {"Zo\u00eb \"Z\"", "\u00c9milie"}},
        {"back to one letter", [&] { QTest::keyClick(&FindEdit(), Qt::Key_Backspace); },
         {"M\u00fcller", "MULLER", "Zo\u00eb \"Z\"", "\u00c9milie"}},
        {"sorted by age", [&] { window_->sortByColumn(3, Qt::AscendingOrder); },
         {"Zo\u00eb \"Z\"", "\u00c9milie", "M\u00fcller", "MULLER"}},
        {"sorted descending", [&] { window_->sortByColumn(3, Qt::DescendingOrder); },
         {"MULLER", "M\u00fcller", "\u00c9milie", "Zo\u00eb \"Z\""}},
        {"reloaded: load order, still filtered", [&] { Pick("People"); },
         {"M\u00fcller", "MULLER", "Zo\u00eb \"Z\"", "\u00c9milie"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        step.act();
        EXPECT_EQ(ColumnTexts(1), step.names);
    }
    Pick("Towns");
    EXPECT_EQ(ColumnTexts(0), QStringList{"Oslo"});
    EXPECT_EQ(StatusRows(), "1 of 2 rows");
}

// Ctrl+F and Esc work wherever the focus is in the window: after a table is chosen by keyboard
// the focus stays on the table list, and what is typed next must reach the find bar.
TEST_F(FindFilterTest, CtrlFAndEscWorkWhereverTheFocusIs)
{
    MainWindow& window = *window_;
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QWidget* const focuses[] = {window.tableList, window.exportButton, window.grid};
    for (QWidget* focus : focuses) {
        SCOPED_TRACE(focus->objectName().toStdString());
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_F, Qt::ControlModifier);
        ASSERT_TRUE(window.findBar->isVisible());
        ASSERT_EQ(QApplication::focusWidget(), &FindEdit());
        QTest::keyClicks(QApplication::focusWidget(), "oslo");
        EXPECT_EQ(ColumnTexts(1), QStringList{"M\u00fcller"});
        EXPECT_EQ(StatusRows(), "1 of 6 rows");

        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Escape);
        EXPECT_FALSE(window.findBar->isVisible());
        EXPECT_TRUE(FindEdit().text().isEmpty());
        EXPECT_EQ(StatusRows(), "6 rows");
    }
}

// A filter typed while the grid is scrolled down shows the matches from the first, also after a
// text that matched nothing; a click on a heading then selects its column.
TEST_F(FindFilterTest, FilteringWhileScrolledDownShowsTheFirstMatches)
{
    std::vector<jetwriter::Row> rows;
    for (int i = 0; i < 400; ++i)
        rows.push_back({std::string(i % 2 ? "odd " : "even ") + std::to_string(i)});
    jetwriter::Database database;
    database.tables = {TextTable("Many", {"Text"}, rows)};
    OpenDatabase(database);
    window_->refillTableList();
    Pick("Many");
    DataGrid& grid = *window_->grid;
    grid.scrollToBottom();
    ASSERT_GT(grid.rowAt(0), 200);
    window_->openFindBar();
    // Keys typed straight one after another, as when typed quickly. A text that starts with "+"
    // is added at the end of the find text, any other replaces it.
    const struct {
        std::vector<QString> typed;
        QString firstText;  // of the grid's top row
    } steps[] = {{{"odd"}, "odd 1"}, {{"+x", "odd 1"}, "odd 1"}, {{""}, "even 0"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.typed.back().toStdString());
        for (const QString& typed : step.typed) {
            if (!typed.startsWith(QLatin1Char('+')))
                FindEdit().selectAll();  // the first key replaces it
            if (typed.isEmpty())
                QTest::keyClick(&FindEdit(), Qt::Key_Backspace);
            QTest::keyClicks(&FindEdit(), typed.startsWith(QLatin1Char('+')) ? typed.mid(1) : typed);
        }
        // Before the grid has laid itself out again (the next pass of the event loop).
        QHeaderView& headings = *grid.horizontalHeader();
        QTest::mouseClick(headings.viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(headings.sectionViewportPosition(0) + 5, headings.height() / 2));
        EXPECT_TRUE(grid.selectionModel()->isColumnSelected(0, QModelIndex())) << "a click on the heading selects its column";
        EXPECT_EQ(grid.rowAt(0), 0);
        EXPECT_EQ(grid.indexAt(QPoint(1, 1)).data().toString(), step.firstText);
        grid.scrollToBottom();
    }
}

// The status line counts the rows and names the database, its whole path as the tooltip.
TEST_F(FindFilterTest, StatusLineCountsRowsAndNamesTheDatabase)
{
    const QFileInfo file(appSettings().dataPath);
    EXPECT_EQ(window_->statusLine->database->text(), file.fileName());
    EXPECT_EQ(window_->statusLine->database->toolTip(), QDir::toNativeSeparators(file.absoluteFilePath()));
    EXPECT_EQ(StatusRows(), "6 rows");
    EXPECT_EQ(window_->tableLabel->toolTip(), "6 rows");
    window_->grid->setFilterText("oslo");
    EXPECT_EQ(StatusRows(), "1 of 6 rows");
    EXPECT_EQ(window_->tableLabel->toolTip(), "1 row");
    window_->grid->setRecordset(nullptr);
    EXPECT_TRUE(StatusRows().isEmpty());

    const struct {
        int64_t shown, total;
        bool filtered;
        const char* expected;
    } texts[] = {{0, 0, false, "0 rows"},          {1, 1, false, "1 row"},          {1234567, 1234567, false, "1,234,567 rows"},
                 {0, 1, true, "0 of 1 row"},       {3, 1000, true, "3 of 1,000 rows"}, {1000, 1000, true, "1,000 of 1,000 rows"}};
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    for (const auto& t : texts)
        EXPECT_EQ(rowCountText(t.shown, t.total, t.filtered), t.expected);
    QLocale::setDefault(QLocale::system());
}

// Over many rows the filter runs in the background; a newer text overtakes an older one.
TEST_F(FindFilterTest, LargeTablesAreFilteredInTheBackground)
{
    ShowBigTable();
    window_->openFindBar();
    QTest::keyClicks(&FindEdit(), "fizz");
    QTest::keyClicks(&FindEdit(), " 5999");
    WaitForGrid();
    EXPECT_EQ(ColumnTexts(0), (QStringList{"Fizz 59991", "Fizz 59994", "Fizz 59997"}));
    EXPECT_EQ(StatusRows(), "3 of 60,000 rows");
}

// Columns selected one by one in a large table (Ctrl+click on their headings) stay whole columns
// through a filter and a sort, each one range of the rows shown: a selection kept row by row would
// have the headings test each row as they paint, and the window stop answering.
TEST_F(FindFilterTest, ColumnsSelectedStayWholeThroughAFilterAndASort)
{
    ShowBigTable();
    DataGrid& grid = *window_->grid;
    grid.selectColumn(0);
    grid.selectionModel()->select(QItemSelection(grid.model()->index(0, 1), grid.model()->index(59999, 1)), QItemSelectionModel::Select);
    const struct {
        const char* step;
        std::function<void()> act;
        int rows;
        QString firstText;
    } steps[] = {
        {"filtered", [&] { window_->openFindBar(); QTest::keyClicks(&FindEdit(), "fizz"); }, 20000, "Fizz 0"},
        {"sorted", [&] { window_->sortByColumn(1, Qt::DescendingOrder); }, 20000, "Fizz 59997"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        step.act();
        WaitForGrid();
        ASSERT_EQ(grid.model()->rowCount(), step.rows);
        EXPECT_EQ(grid.model()->index(0, 0).data().toString(), step.firstText);
        const QItemSelection selection = grid.selectionModel()->selection();
        ASSERT_EQ(selection.size(), 2);
        QStringList ranges;
        for (const QItemSelectionRange& range : selection)
            ranges << QStringLiteral("rows %1-%2, columns %3-%4").arg(range.top()).arg(range.bottom()).arg(range.left()).arg(range.right());
        const QString last = QString::number(step.rows - 1);
        EXPECT_EQ(ranges, (QStringList{"rows 0-" + last + ", columns 0-0", "rows 0-" + last + ", columns 1-1"}));
    }
}

}  // namespace
}  // namespace varnex::test
