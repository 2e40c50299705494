#include "shell/DataGrid.h"

#include "shell/GridCopy.h"
#include "shell/RecordsetModel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>

namespace varnex {

namespace {
constexpr int kRowsMeasured = 200;
constexpr int kWidestColumnChars = 40;
}  // namespace

DataGrid::DataGrid(QWidget* parent) : QTableView(parent), model_(new RecordsetModel(this))
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
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(true);
    connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, [this](int) { emit doubleClickedAnywhere(); });
}

std::shared_ptr<Recordset> DataGrid::recordset() const
{
    return model_->recordset();
}

void DataGrid::setRecordset(std::shared_ptr<Recordset> recordset)
{
    clearSelection();
    model_->setRecordset(std::move(recordset));
    for (int c = 0; c < model_->columnCount(); ++c)
        setColumnHidden(c, false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    fitColumnWidths();
}

void DataGrid::fitColumnWidths()
{
    // Measured over the heading and the first rows only, so a large table binds as fast as a small one.
    horizontalHeader()->setResizeContentsPrecision(kRowsMeasured);
    resizeColumnsToContents();
    const int widest = fontMetrics().averageCharWidth() * kWidestColumnChars;
    for (int c = 0; c < model_->columnCount(); ++c)
        if (columnWidth(c) > widest)
            setColumnWidth(c, widest);
}

int16_t DataGrid::SelStartCol() const
{
    for (int c = 0; c < model_->columnCount(); ++c)
        if (selectionModel()->isColumnSelected(c, QModelIndex()))
            return static_cast<int16_t>(c);
    return -1;
}

int16_t DataGrid::SelEndCol() const
{
    for (int c = model_->columnCount() - 1; c >= 0; --c)
        if (selectionModel()->isColumnSelected(c, QModelIndex()))
            return static_cast<int16_t>(c);
    return -1;
}

void DataGrid::showCurrentOrder()
{
    model_->refreshOrder();
}

QString DataGrid::selectedText() const
{
    return selectionAsTabText(*this);
}

void DataGrid::copySelection()
{
    const QString text = selectedText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    emit doubleClickedAnywhere();
}

void DataGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

}  // namespace varnex
