#include "shell/DataGrid.h"

#include "data/Recordset.h"
#include "shell/CellToolTips.h"
#include "shell/ClipboardCopy.h"
#include "shell/GridCopy.h"
#include "shell/GridFilter.h"
#include "shell/GridProfiler.h"
#include "shell/RecordsetModel.h"
#include "shell/ValueViewer.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>

namespace varnex {

DataGrid::DataGrid(QWidget* parent)
    : QTableView(parent),
      model_(new RecordsetModel(this)),
      widths_(new GridColumnWidths(*this)),
      filter_(new GridFilter(*this)),
      profiler_(new GridProfiler(this)),
      toolTips_(new CellToolTips(*this)),
      copier_(new ClipboardCopy(*this))
{
    setObjectName(QStringLiteral("dgData"));
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);  // Tab moves on to the next control
    setSortingEnabled(false);  // a heading click selects its column
    setWordWrap(false);
    // Fixed row heights let the view place a million rows without measuring any.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->hide();
    QHeaderView* headings = horizontalHeader();
    headings->setSectionsClickable(true);
    headings->setHighlightSections(true);
    headings->setSortIndicatorShown(true);
    headings->setSortIndicator(-1, Qt::AscendingOrder);
    connect(headings, &QHeaderView::sectionDoubleClicked, this, [this](int) { emit doubleClickedAnywhere(); });
    // A click on a heading selects its column; the indicator stays with the sorted one.
    connect(headings, &QHeaderView::sortIndicatorChanged, this, &DataGrid::keepSortIndicator);
    headings->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(headings, &QHeaderView::customContextMenuRequested, this, [this](const QPoint& at) {
        const int column = horizontalHeader()->logicalIndexAt(at);
        if (column >= 0)
            headingMenu(column)->exec(horizontalHeader()->mapToGlobal(at));
    });
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = indexAt(at);
        if (index.isValid())
            cellMenu(index)->exec(viewport()->mapToGlobal(at));
    });
    connect(filter_, &GridFilter::applied, this, &DataGrid::shownRowsChanged);
    connect(profiler_, &GridProfiler::profiled, this,
            [this](std::shared_ptr<const ColumnTextProfiles> profiles) { widths_->widenToLongest(*profiles); });
}

DataGrid::~DataGrid() = default;

std::shared_ptr<Recordset> DataGrid::recordset() const
{
    return model_->recordset();
}

void DataGrid::bindRecordset(const std::shared_ptr<Recordset>& recordset, const TableKey& key)
{
    filter_->reset();
    widths_->forgetColumns();
    clearSelection();
    showSortedColumn(-1, Qt::AscendingOrder);
    model_->setRecordset(recordset);
    for (int c = 0; c < model_->columnCount(); ++c)
        setColumnHidden(c, false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    widths_->fitNewTable(recordset.get(), key);
}

void DataGrid::setRecordset(std::shared_ptr<Recordset> recordset, const TableKey& key)
{
    bindRecordset(recordset, key);
    profiler_->profile(recordset);
    emit shownRowsChanged();
}

void DataGrid::setLoadingRecordset(std::shared_ptr<Recordset> recordset, const TableKey& key)
{
    bindRecordset(recordset, key);
    profiler_->profile(nullptr);
    emit shownRowsChanged();
}

void DataGrid::showArrivedRows()
{
    model_->showAddedRows();
}

void DataGrid::finishLoading(const TableKey& key)
{
    model_->showAddedRows();
    // Hidden columns stay hidden: the widths of the shown ones fit every row now.
    std::vector<bool> hidden;
    for (int c = 0; c < model_->columnCount(); ++c)
        hidden.push_back(isColumnHidden(c));
    widths_->fitNewTable(recordset().get(), key);
    for (int c = 0; c < model_->columnCount(); ++c)
        setColumnHidden(c, hidden[static_cast<size_t>(c)]);
    profiler_->profile(recordset());
    emit shownRowsChanged();
}

int DataGrid::firstSelectedColumn() const
{
    for (int c = 0; c < model_->columnCount(); ++c)
        if (selectionModel()->isColumnSelected(c, QModelIndex()))
            return c;
    return -1;
}

int DataGrid::lastSelectedColumn() const
{
    for (int c = model_->columnCount() - 1; c >= 0; --c)
        if (selectionModel()->isColumnSelected(c, QModelIndex()))
            return c;
    return -1;
}

void DataGrid::showCurrentOrder()
{
    model_->refreshOrder();
}

void DataGrid::showCurrentRows()
{
    model_->refreshRows();
    // Scrolled down, the view would keep its place among rows that are no longer the same ones
    // and show the last matches.
    scrollToTop();
    // The row headings (hidden) hold the offset that places rows; a scroll to the top while no row
    // was shown left it where it was. Until the grid next laid itself out, the rows that came next
    // were placed below the view, and a click on a heading found no row to select its column from.
    verticalHeader()->setOffset(0);
}

void DataGrid::showSortedColumn(int column, Qt::SortOrder order)
{
    sortedColumn_ = column;
    sortOrder_ = order;
    keepSortIndicator();
}

void DataGrid::keepSortIndicator()
{
    QHeaderView* headings = horizontalHeader();
    if (headings->sortIndicatorSection() != sortedColumn_ || headings->sortIndicatorOrder() != sortOrder_)
        headings->setSortIndicator(sortedColumn_, sortOrder_);
}

void DataGrid::setFilterText(const QString& text)
{
    filter_->setText(text);
}

QString DataGrid::filterText() const
{
    return filter_->text();
}

bool DataGrid::isBusy() const
{
    return filter_->busy() || profiler_->busy();
}

bool DataGrid::isFiltering() const
{
    return filter_->busy();
}

void DataGrid::finishFiltering()
{
    filter_->finish();
}

QString DataGrid::selectedText(bool withHeadings) const
{
    const CopySelection selection(*this, recordset(), withHeadings);
    return QString::fromStdString(selection.text());
}

void DataGrid::copySelection(bool withHeadings)
{
    finishFiltering();
    copier_->copy(std::make_shared<const CopySelection>(*this, recordset(), withHeadings));
}

bool DataGrid::isCopying() const
{
    return copier_->busy();
}

void DataGrid::showValue(const QModelIndex& index)
{
    const std::shared_ptr<Recordset> shown = recordset();
    if (!shown || !index.isValid())
        return;
    auto* viewer = new ValueViewer(shownValue(*shown, index.row(), index.column()), this);
    viewer->show();
}

std::unique_ptr<QMenu> DataGrid::headingMenu(int column)
{
    auto menu = std::make_unique<QMenu>(this);
    // The menu runs an event loop of its own: by the time it is answered, another table may be shown.
    const std::weak_ptr<Recordset> shown = recordset();
    const auto sortBy = [this, column, shown](Qt::SortOrder order) {
        const std::shared_ptr<Recordset> still = shown.lock();
        if (still && still == recordset())
            emit sortRequested(column, order);
    };
    QAction* ascending = menu->addAction(tr("Sort &Ascending"));
    ascending->setObjectName(QStringLiteral("mnuSortAscending"));
    connect(ascending, &QAction::triggered, this, [sortBy] { sortBy(Qt::AscendingOrder); });
    QAction* descending = menu->addAction(tr("Sort &Descending"));
    descending->setObjectName(QStringLiteral("mnuSortDescending"));
    connect(descending, &QAction::triggered, this, [sortBy] { sortBy(Qt::DescendingOrder); });
    return menu;
}

std::unique_ptr<QMenu> DataGrid::cellMenu(const QModelIndex& index)
{
    auto menu = std::make_unique<QMenu>(this);
    QAction* show = menu->addAction(tr("Show value"));
    show->setObjectName(QStringLiteral("mnuShowValue"));
    const QPersistentModelIndex cell(index);
    connect(show, &QAction::triggered, this, [this, cell] { showValue(cell); });
    return menu;
}

QString DataGrid::toolTipFor(const QModelIndex& index) const
{
    return toolTips_->toolTipFor(index);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    emit doubleClickedAnywhere();
}

void DataGrid::keyPressEvent(QKeyEvent* event)
{
    // Copying and sorting are the window's actions (shell/MainMenu.h); Enter and Space stay here,
    // where they do not take the keys from the table list and the buttons.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space)) {
        showValue(currentIndex());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

}  // namespace varnex
