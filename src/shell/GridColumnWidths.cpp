#include "shell/GridColumnWidths.h"

#include "store/FieldTypes.h"
#include "data/Recordset.h"
#include "store/TableData.h"
#include "shell/CellMetrics.h"

#include <QHeaderView>
#include <QScopedValueRollback>
#include <QTableView>

#include <algorithm>

namespace varnex {

namespace {

constexpr int kSampledRows = 300;
// A text column takes at most this share of the grid's width, and never less than this many characters.
constexpr int kWidestShareTenths = 4;
constexpr int kLeastCapCharacters = 20;
// Longer stored values are wider than any text column may be; they are not measured.
constexpr size_t kMeasuredBytes = 2048;

}  // namespace

std::vector<int64_t> samplePositions(int64_t rowCount, int count)
{
    std::vector<int64_t> positions;
    if (rowCount <= count) {
        for (int64_t p = 0; p < rowCount; ++p)
            positions.push_back(p);
        return positions;
    }
    const int third = count / 3;
    for (int64_t p = 0; p < third; ++p)
        positions.push_back(p);
    const int64_t middle = rowCount - 2 * third;
    for (int i = 0; i < count - 2 * third; ++i)
        positions.push_back(third + middle * i / (count - 2 * third));
    for (int64_t p = rowCount - third; p < rowCount; ++p)
        positions.push_back(p);
    return positions;
}

GridColumnWidths::GridColumnWidths(QTableView& view) : QObject(&view), view_(view)
{
    connect(view_.horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) { rememberUserWidth(column, width); });
}

void GridColumnWidths::forgetColumns()
{
    columnNames_.clear();
    fixedSize_.clear();
}

void GridColumnWidths::fitNewTable(const Recordset* recordset, const TableKey& key)
{
    forgetColumns();
    if (!recordset)
        return;  // an empty grid forgets nothing the user set
    if (key.database != database_)
        userWidths_.clear();
    database_ = key.database;
    table_ = key.table;
    const int cap = std::max(view_.fontMetrics().averageCharWidth() * kLeastCapCharacters,
                             view_.viewport()->width() * kWidestShareTenths / 10);
    const QHash<QString, int> remembered = userWidths_.value(table_);
    for (int c = 0; c < recordset->columnCount(); ++c) {
        columnNames_.append(recordset->columnName(c));
        fixedSize_.push_back(fixedWidth(recordset->columnType(c)) > 0);
        const int heading = view_.horizontalHeader()->sectionSizeHint(c);
        setWidth(c, remembered.value(columnNames_.back(), std::max(heading, sampledWidth(*recordset, c, cap))));
    }
}

// The widest of the sampled cells; at most cap where the column's values vary in size.
int GridColumnWidths::sampledWidth(const Recordset& recordset, int column, int cap) const
{
    const Result<int64_t> rows = recordset.recordCount();
    if (!rows)
        return 0;
    const bool fixed = fixedSize_[static_cast<size_t>(column)];
    const std::shared_ptr<const TableData> stored = recordset.loadedRows();
    int widest = 0;
    const bool unread = recordset.columnType(column) == FieldType::Unsupported;
    for (const int64_t position : samplePositions(*rows, kSampledRows)) {
        if (unread) {  // its placeholders
            widest = std::max(widest, cellTextWidth(view_, recordset.unreadCellText(position, column)));
            continue;
        }
        if (recordset.isNull(position, column))
            continue;
        if (!fixed && stored->bytesValue(recordset.storedRow(position), column).size() > kMeasuredBytes)
            return cap;
        widest = std::max(widest, cellTextWidth(view_, recordset.cellText(position, column)));
        if (!fixed && widest >= cap)
            return cap;
    }
    return widest + cellPadding(view_);
}

void GridColumnWidths::widenToLongest(const ColumnTextProfiles& profiles)
{
    for (const ColumnTextProfile& profile : profiles.columns) {
        const int c = profile.column;
        if (c >= static_cast<int>(fixedSize_.size()) || !fixedSize_[static_cast<size_t>(c)] || isSetByUser(c))
            continue;
        const int needed = cellTextWidth(view_, QString::fromStdString(profile.longestText)) + cellPadding(view_);
        if (needed > view_.columnWidth(c))
            setWidth(c, needed);
    }
}

bool GridColumnWidths::isSetByUser(int column) const
{
    return userWidths_.value(table_).contains(columnNames_.value(column));
}

void GridColumnWidths::setWidth(int column, int width)
{
    const QScopedValueRollback<bool> setting(settingWidths_, true);
    view_.setColumnWidth(column, width);
}

void GridColumnWidths::rememberUserWidth(int column, int width)
{
    // Hiding a column sets its width to 0; that and the widths set here are no user's.
    if (settingWidths_ || width <= 0 || column >= columnNames_.size() || view_.isColumnHidden(column))
        return;
    userWidths_[table_][columnNames_.at(column)] = width;
}

}  // namespace varnex
