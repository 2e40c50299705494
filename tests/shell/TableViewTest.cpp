#include "MainWindowFixture.h"

#include "app/AppSettings.h"
#include "store/FieldTypes.h"
#include "data/Recordset.h"
#include "shell/StatusLine.h"

#include <QApplication>
#include <QBrush>
#include <QGuiApplication>
#include <QPalette>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest/QTest>

namespace varnex::test {
namespace {

using TableViewTest = MainWindowFixture;

jetwriter::Database PeopleDatabase()
{
    jetwriter::Table people = TextTable("People", {"Name"});
    people.columns.push_back({"Age", jetwriter::ColumnType::Long});
    people.rows = {{std::string("Carol"), int64_t{30}}, {std::string("Alice"), jetwriter::Null{}},
                   {std::string("Bob"), int64_t{41}}, {std::string("Tab\there, \"quoted\""), int64_t{7}}};
    jetwriter::Database database;
    database.tables.push_back(people);
    int keyed = 0;
    for (const char* recordId : {"RECID", "RecId", "recid", "RECID2"})
        database.tables.push_back(TextTable("Keyed " + std::to_string(++keyed), {recordId, "Value"},
                                            {{std::string("7"), std::string("seven")}}));
    return database;
}

TEST_F(TableViewTest, PickedTableShowsItsRowsWithNullEmpty)
{
    OpenDatabase(PeopleDatabase());
    ShowWindow();
    Pick("People");
    ASSERT_NE(window_->grid->recordset(), nullptr);
    EXPECT_EQ(ColumnTexts(0), (QStringList{"Carol", "Alice", "Bob", "Tab\there, \"quoted\""}));
    EXPECT_EQ(ColumnTexts(1), (QStringList{"30", "", "41", "7"}));
    GridColumns columns = window_->grid->columns();
    ASSERT_EQ(columns.count(), 2);
    EXPECT_EQ(columns.item(1).caption(), "Age");
    EXPECT_EQ(columns.item(1).dataField(), "Age");
    EXPECT_EQ(window_->tableLabel->toolTip(), "4 rows");
    EXPECT_TRUE(LogLines().isEmpty());
}

// A column of a type that is not read shows greyed placeholders; the status line says that values could
// not be read, the log keeps which and why; a table read whole takes the notice away.
TEST_F(TableViewTest, UnreadValuesShowAsPlaceholdersWithANoticeAndTheLogKeepsWhy)
{
    jetwriter::Database database = PeopleDatabase();
    jetwriter::Column shape{"Shape", jetwriter::ColumnType::Unknown, 12};
    shape.typeCode = 0x46;
    jetwriter::Table parts = TextTable("Parts", {"Name"}, {});
    parts.columns.push_back(shape);
    parts.rows = {{std::string("one"), jetwriter::Bytes{std::vector<uint8_t>(12, 3)}}, {std::string("two"), jetwriter::Null{}}};
    database.tables.push_back(parts);
    OpenDatabase(database);
    ShowWindow();
    Pick("Parts");
    EXPECT_EQ(ColumnTexts(1), (QStringList{"(unsupported type 0x46, 12 bytes)", ""}));
    const QAbstractItemModel* model = window_->grid->model();
    EXPECT_EQ(model->index(0, 1).data(Qt::ForegroundRole).value<QBrush>().color(),
              QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text));
    EXPECT_FALSE(model->index(0, 0).data(Qt::ForegroundRole).isValid());
    const QString why = "table 'Parts': column 'Shape': its type 0x46 is not supported; its values are left empty";
    EXPECT_FALSE(window_->statusLine->notice->isHidden());
    EXPECT_EQ(window_->statusLine->notice->text(), "Some values could not be read (see the log)");
    EXPECT_EQ(window_->statusLine->notice->toolTip(), why);
    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith("  LoadTableWarning: " + appSettings().dataPath + ": " + why)) << lines[0].toStdString();
    EXPECT_EQ(MessageBoxCount(), 0);

    Pick("People");
    EXPECT_TRUE(window_->statusLine->notice->isHidden());
}

TEST_F(TableViewTest, HidesRecordIdColumnsOnly)
{
    OpenDatabase(PeopleDatabase());
    ShowWindow();
    const struct {
        const char* table;
        bool firstVisible;
    } cases[] = {{"Keyed 1", false}, {"Keyed 2", false}, {"Keyed 3", false}, {"Keyed 4", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        Pick(c.table);
        GridColumns columns = window_->grid->columns();
        SCOPED_TRACE(columns.item(0).caption().toStdString());
        ASSERT_EQ(columns.count(), 2);
        EXPECT_EQ(columns.item(0).isVisible(), c.firstVisible);
        EXPECT_EQ(window_->grid->isColumnHidden(0), !c.firstVisible);
        EXPECT_TRUE(columns.item(1).isVisible());
        EXPECT_EQ(ColumnTexts(1), QStringList{"seven"});
    }
}

TEST_F(TableViewTest, PickingAgainReloadsAndResetsTheSort)
{
    OpenDatabase(PeopleDatabase());
    ShowWindow();
    Pick("People");
    const std::shared_ptr<Recordset> first = window_->grid->recordset();
    ASSERT_TRUE(first->setSort("[Name]").ok());
    window_->grid->showCurrentOrder();
    EXPECT_EQ(ColumnTexts(0), (QStringList{"Alice", "Bob", "Carol", "Tab\there, \"quoted\""}));

    Pick("People");

    EXPECT_NE(window_->grid->recordset(), first);
    EXPECT_FALSE(first->isOpen());
    EXPECT_EQ(ColumnTexts(0), (QStringList{"Carol", "Alice", "Bob", "Tab\there, \"quoted\""}));
}

TEST_F(TableViewTest, FailedLoadLogsOnceAndLeavesGridEmpty)
{
    OpenDatabase(PeopleDatabase());
    ShowWindow();
    Pick("People");
    const std::shared_ptr<Recordset> previous = window_->grid->recordset();
    window_->tableList->addItem(QStringLiteral("Dropped Table"));  // gone since the list was filled

    Pick("Dropped Table");

    const QStringList log = LogLines();
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log.front().contains("LoadTableError")) << log.front().toStdString();
    EXPECT_EQ(MessageBoxCount(), 1);
    EXPECT_EQ(LastMessageBoxTitle(), "LoadTableError");
    EXPECT_EQ(window_->grid->recordset(), nullptr);
    EXPECT_EQ(window_->grid->model()->rowCount(), 0);
    EXPECT_EQ(window_->grid->model()->columnCount(), 0);
    EXPECT_FALSE(previous->isOpen());
    EXPECT_TRUE(window_->tableLabel->toolTip().isEmpty());
}

TEST_F(TableViewTest, CancelledLoadLeavesGridEmptyAndLogsNothing)
{
    jetwriter::Table big = TextTable("Big", {"Text"});
    big.columns.push_back({"Number", jetwriter::ColumnType::Long});
    int64_t produced = 0;
    big.rowSource = [&produced](jetwriter::Row& row) {
        if (produced == 300000)
            return false;
        row = {std::string("row ") + std::to_string(produced), produced};
        ++produced;
        return true;
    };
    jetwriter::Database database;
    database.tables = {PeopleDatabase().tables.front(), big};
    OpenDatabase(database);
    ShowWindow();
    Pick("People");
    window_->setLoadProgressDelay(0);

    bool sawDialog = false;
    QTimer canceller;
    QObject::connect(&canceller, &QTimer::timeout, [&] {
        for (QProgressDialog* dialog : window_->findChildren<QProgressDialog*>())
            if (dialog->isVisible()) {
                sawDialog = true;
                dialog->cancel();
            }
    });
    canceller.start(0);
    Pick("Big");
    canceller.stop();

    EXPECT_TRUE(sawDialog);
    EXPECT_EQ(window_->grid->recordset(), nullptr);
    EXPECT_EQ(window_->grid->model()->rowCount(), 0);
    EXPECT_TRUE(LogLines().isEmpty());
    EXPECT_EQ(MessageBoxCount(), 0);
}

TEST_F(TableViewTest, CtrlCCopiesSelectedCellsAsTabSeparatedText)
{
    jetwriter::Database database = PeopleDatabase();
    database.tables.front().columns.insert(database.tables.front().columns.begin(),
                                           {"RecId", jetwriter::ColumnType::Long});
    for (size_t i = 0; i < database.tables.front().rows.size(); ++i) {
        auto& row = database.tables.front().rows[i];
        row.insert(row.begin(), static_cast<int64_t>(i + 1));
    }
    OpenDatabase(database);
    ShowWindow();
    Pick("People");
    DataGrid& grid = *window_->grid;
    const QAbstractItemModel& model = *grid.model();

    QItemSelection twoCells(model.index(0, 1), model.index(0, 1));
    twoCells.select(model.index(2, 2), model.index(2, 2));
    const struct {
        const char* name;
        QItemSelection selection;
        Qt::KeyboardModifiers modifiers;
        QString expected;
    } cases[] = {
        {"one column", QItemSelection(model.index(0, 1), model.index(3, 1)), Qt::ControlModifier,
         "Carol\nAlice\nBob\n\"Tab\there, \"\"quoted\"\"\"\n"},
        {"block over a hidden column", QItemSelection(model.index(0, 0), model.index(1, 2)), Qt::ControlModifier,
         "Carol\t30\nAlice\t\n"},
        {"with headings", QItemSelection(model.index(0, 0), model.index(1, 2)), Qt::ControlModifier | Qt::ShiftModifier,
         "Name\tAge\nCarol\t30\nAlice\t\n"},
        {"cells apart, with headings", twoCells, Qt::ControlModifier | Qt::ShiftModifier, "Name\tAge\nCarol\t\n\t41\n"},
        {"nothing", QItemSelection(), Qt::ControlModifier, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QApplication::clipboard()->setText(QStringLiteral("before"));
        grid.selectionModel()->select(c.selection, QItemSelectionModel::ClearAndSelect);
        QTest::keyClick(&grid, Qt::Key_C, c.modifiers);
        EXPECT_EQ(QApplication::clipboard()->text(), c.expected.isEmpty() ? QStringLiteral("before") : c.expected);
        EXPECT_FALSE(window_->grid->isCopying());
    }
}

// Over 100,000 cells the copy runs in the background under a progress dialog; Cancel leaves the
// clipboard as it was. A sort while copying does not change what is copied.
TEST_F(TableViewTest, LargeCopyShowsProgressAndCanBeCancelled)
{
    jetwriter::Table big = TextTable("Big", {"Text"});
    big.columns.insert(big.columns.begin(), {"Id", jetwriter::ColumnType::Long});
    big.columns.push_back({"Half", jetwriter::ColumnType::Double});
    int64_t next = 0;
    big.rowSource = [&next](jetwriter::Row& row) {
        if (next == 34000)
            return false;
        row = {next, std::string("row ") + std::to_string(next), static_cast<double>(next) / 2};
        ++next;
        return true;
    };
    jetwriter::Database database;
    database.tables = {big};
    OpenDatabase(database);
    ShowWindow();
    Pick("Big");
    DataGrid& grid = *window_->grid;
    auto progress = [this] { return window_->findChild<QProgressDialog*>("dlgCopyProgress"); };

    grid.selectAll();
    QApplication::clipboard()->setText(QStringLiteral("before"));
    QSignalSpy written(QApplication::clipboard(), &QClipboard::dataChanged);
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    ASSERT_NE(progress(), nullptr);
    EXPECT_TRUE(progress()->isVisible());
    EXPECT_TRUE(grid.isCopying());
    QTest::mouseClick(progress()->findChild<QPushButton*>(), Qt::LeftButton);
    EXPECT_FALSE(grid.isCopying());
    EXPECT_EQ(QApplication::clipboard()->text(), "before");
    EXPECT_TRUE(progress() == nullptr || !progress()->isVisible());

    // The desktop gives the window back its keys once the dialog has gone (offscreen does not).
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    // The next copy waits for the cancelled one's thread, whose late result would come first:
    // the clipboard is written once, by the copy that was not cancelled.
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_NE(progress(), nullptr);
    window_->sortByColumn(0, Qt::DescendingOrder);
    WaitForGrid();
    EXPECT_TRUE(progress() == nullptr || !progress()->isVisible());
    EXPECT_EQ(written.count(), 1);
    const QStringList lines = QApplication::clipboard()->text().split('\n');
    ASSERT_EQ(lines.size(), 34002);  // the headings, every row, and nothing after the last line feed
    EXPECT_EQ(lines[0], "Id\tText\tHalf");
    EXPECT_EQ(lines[1], "0\trow 0\t0");
    EXPECT_EQ(lines[34000], "33999\trow 33999\t16999.5");
    EXPECT_EQ(lines[34001], "");
    EXPECT_TRUE(LogLines().isEmpty());
}

}  // namespace
}  // namespace varnex::test
