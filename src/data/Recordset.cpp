#include "data/Recordset.h"

#include "core/Error.h"
#include "data/CellValue.h"
#include "data/Connection.h"
#include "store/FieldTypes.h"
#include "data/SortOrder.h"
#include "store/TableData.h"

#include <numeric>

namespace varnex {

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

Status Recordset::open(const QString& source, Connection* connection, const LoadProgress& progress,
                       const RowsReceived& received)
{
    if (data_)
        return makeError(ErrorCode::ObjectOpen);
    if (!connection || !connection->isOpen())
        return makeError(ErrorCode::ConnectionUnusable);
    std::vector<ReadWarning> warnings;
    auto rows = readWithReaderProcess(connection->databasePath(), source, progress, connection->pagePassword(), received, warnings);
    if (!rows)
        return rows.error();
    if (!*rows)
        return {};  // cancelled: stays closed
    openOver(std::move(*rows), std::move(warnings));
    return {};
}

void Recordset::openOver(std::shared_ptr<const TableData> rows, std::vector<ReadWarning> warnings)
{
    data_ = std::move(rows);
    warnings_ = std::move(warnings);
    profiles_.reset();
    order_.clear();
    sort_.clear();
    clearFilter();
}

bool Recordset::isOpen() const
{
    return data_ != nullptr;
}

Result<int64_t> Recordset::recordCount() const
{
    if (!data_)
        return makeError(ErrorCode::ObjectClosed);
    return shownCount();
}

Result<int64_t> Recordset::unfilteredCount() const
{
    if (!data_)
        return makeError(ErrorCode::ObjectClosed);
    return data_->rowCount();
}

QString Recordset::sort() const
{
    return sort_;
}

Status Recordset::setSort(const QString& specification)
{
    if (!data_)
        return makeError(ErrorCode::ObjectClosed);
    if (specification.trimmed().isEmpty()) {
        order_.clear();
        sort_.clear();
        keepFilteredRowsInOrder();
        return {};
    }
    auto keys = parseSort(specification, *data_);
    if (!keys)
        return keys.error();
    std::vector<uint32_t> order = fullOrder();
    sortRows(*data_, *keys, order);
    order_ = std::move(order);
    sort_ = specification;
    keepFilteredRowsInOrder();
    return {};
}

std::vector<uint32_t> Recordset::fullOrder() const
{
    if (!order_.empty())
        return order_;
    std::vector<uint32_t> order(static_cast<size_t>(data_->rowCount()));
    std::iota(order.begin(), order.end(), 0u);
    return order;
}

// After a new order: the rows the filter shows, in that order.
void Recordset::keepFilteredRowsInOrder()
{
    ++orderVersion_;
    if (!filtered_)
        return;
    std::vector<bool> shown(static_cast<size_t>(data_->rowCount()));
    for (const uint32_t row : shown_)
        shown[row] = true;
    std::vector<uint32_t> inOrder;
    inOrder.reserve(shown_.size());
    for (const uint32_t row : fullOrder()) {
        if (shown[row])
            inOrder.push_back(row);
    }
    shown_ = std::move(inOrder);
}

Status Recordset::setFilter(const QString& text, const std::vector<int>& columns)
{
    if (!data_)
        return makeError(ErrorCode::ObjectClosed);
    for (const int column : columns) {
        if (column < 0 || column >= data_->columnCount())
            return makeError(ErrorCode::BadArguments);
    }
    if (text.isEmpty()) {
        clearFilter();
        return {};
    }
    RowFilterRun run = prepareFilter(text, columns);
    run.run();
    applyFilter(run);
    return {};
}

RowFilterRun Recordset::prepareFilter(const QString& text, const std::vector<int>& columns) const
{
    RowFilterRun run;
    if (!data_)
        return run;
    run.rows = data_;
    run.cellText = ValueFormatter::forDefaultLocale();
    run.profiles = profiles_;
    for (const int column : columns) {
        if (column >= 0 && column < data_->columnCount())
            run.columns.push_back(column);
    }
    run.text = text;
    run.foldedText = foldedFilterText(text);
    run.preparedAt = orderVersion_;
    // Every row that holds the longer text holds the shorter one, so those shown already are the only candidates.
    const bool narrowing = filtered_ && run.columns == filterColumns_ && !filterFolded_.empty() &&
                           run.foldedText.find(filterFolded_) != std::string::npos;
    run.candidates = narrowing ? shown_ : fullOrder();
    return run;
}

bool Recordset::applyFilter(RowFilterRun& run)
{
    if (!data_ || !run.finished || run.rows != data_ || run.preparedAt != orderVersion_)
        return false;
    filtered_ = true;
    shown_ = std::move(run.matches);
    filterText_ = run.text;
    filterFolded_ = run.foldedText;
    filterColumns_ = run.columns;
    run.finished = false;
    ++orderVersion_;
    return true;
}

void Recordset::setTextProfiles(std::shared_ptr<const ColumnTextProfiles> profiles)
{
    if (profiles && profiles->rows == data_)
        profiles_ = std::move(profiles);
}

void Recordset::clearFilter()
{
    filtered_ = false;
    shown_ = {};
    filterText_.clear();
    filterFolded_.clear();
    filterColumns_.clear();
    ++orderVersion_;
}

std::unique_ptr<Recordset> Recordset::snapshot() const
{
    auto copy = std::make_unique<Recordset>();
    copy->data_ = data_;
    copy->sort_ = sort_;
    copy->filtered_ = filtered_;
    copy->filterText_ = filterText_;
    if (filtered_)
        copy->shown_ = shown_;  // the order of the rows shown is all a read needs
    else
        copy->order_ = order_;
    return copy;
}

Status Recordset::close()
{
    if (!data_)
        return makeError(ErrorCode::ObjectClosed);
    data_.reset();
    warnings_.clear();
    profiles_.reset();
    order_ = {};
    sort_.clear();
    clearFilter();
    return {};
}

int Recordset::columnCount() const
{
    return data_ ? data_->columnCount() : 0;
}

QString Recordset::columnName(int column) const
{
    return data_ && column >= 0 && column < data_->columnCount() ? data_->info(column).name : QString();
}

int Recordset::columnIndex(const QString& name) const
{
    return data_ ? data_->columnIndex(name) : -1;
}

FieldType Recordset::columnType(int column) const
{
    return data_ && column >= 0 && column < data_->columnCount() ? data_->info(column).type : FieldType::Unsupported;
}

int64_t Recordset::rowAt(int64_t position) const
{
    const auto at = static_cast<size_t>(position);
    if (filtered_)
        return shown_[at];
    return order_.empty() ? position : order_[at];
}

int64_t Recordset::shownCount() const
{
    if (!data_)
        return 0;
    return filtered_ ? static_cast<int64_t>(shown_.size()) : data_->rowCount();
}

int64_t Recordset::storedRow(int64_t position) const
{
    return data_ && position >= 0 && position < shownCount() ? rowAt(position) : -1;
}

bool Recordset::validCell(int64_t position, int column) const
{
    return data_ && position >= 0 && position < shownCount() && column >= 0 && column < data_->columnCount();
}

bool Recordset::isNull(int64_t position, int column) const
{
    return !validCell(position, column) || data_->info(column).type == FieldType::Unsupported ||
           data_->isNull(rowAt(position), column);
}

QString Recordset::cellText(int64_t position, int column) const
{
    std::string text;
    appendCellTextUtf8(position, column, text);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Recordset::unreadCellText(int64_t position, int column) const
{
    return validCell(position, column) ? unreadValueText(*data_, rowAt(position), column) : QString();
}

void Recordset::appendCellTextUtf8(int64_t position, int column, std::string& out) const
{
    if (validCell(position, column))
        appendStoredText(*data_, rowAt(position), column, *ValueFormatter::forDefaultLocale(), out);
}

void Recordset::appendCellTextUtf8(int64_t position, int column, const ValueFormatter& formatter,
                                   std::string& out) const
{
    if (validCell(position, column))
        appendStoredText(*data_, rowAt(position), column, formatter, out);
}

void Recordset::prefetch(int64_t position, bool bytes) const
{
    // Bounded by the rows shown: beyond them a filtered order has no entry to look up.
    if (position >= 0 && position < shownCount())
        data_->prefetch(rowAt(position), bytes);
}

Variant Recordset::value(int64_t position, int column) const
{
    return validCell(position, column) ? storedValue(*data_, rowAt(position), column) : Variant();
}

}  // namespace varnex
