#include "platform/data/Recordset.h"

#include "platform/data/CellValue.h"
#include "platform/data/Connection.h"
#include "platform/data/DataErrors.h"
#include "platform/data/DataTypes.h"
#include "platform/data/SortOrder.h"
#include "platform/data/TableData.h"

#include <numeric>

namespace varnex {

// ----- Field / Fields -----

QString Field::Name() const
{
    return recordset_->columnName(column_);
}

int16_t Field::Type() const
{
    return recordset_->columnType(column_);
}

Variant Field::Value() const
{
    if (recordset_->State() != adStateOpen || recordset_->Eof() || recordset_->Bof())
        return {};
    return recordset_->value(recordset_->currentPosition(), column_);
}

int16_t Fields::Count() const
{
    return recordset_->columnCount();
}

Result<Field> Fields::Item(int index) const
{
    if (index < 0 || index >= recordset_->columnCount())
        return dataerr::itemNotFound();
    return Field(recordset_, index);
}

Result<Field> Fields::Item(const QString& name) const
{
    for (int c = 0; c < recordset_->columnCount(); ++c) {
        if (recordset_->columnName(c).compare(name, Qt::CaseInsensitive) == 0)
            return Field(recordset_, c);
    }
    return dataerr::itemNotFound();
}

// ----- Recordset -----

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

void Recordset::setCursorLocation(int location)
{
    cursorLocation_ = location;
}

Status Recordset::Open(const QString& source, Connection* connection, int /*cursorType*/, int /*lockType*/,
                       int /*options*/, const LoadProgress& progress)
{
    if (data_)
        return dataerr::objectOpen();
    if (!connection || connection->State() != adStateOpen)
        return dataerr::connectionClosed();
    auto rows = LoadTable(connection->databasePath(), source, progress);
    if (!rows)
        return rows.error();
    if (!*rows)
        return {};  // cancelled: stays closed
    openOver(std::move(*rows));
    connection_ = connection;
    return {};
}

void Recordset::openOver(std::shared_ptr<const TableData> rows)
{
    data_ = std::move(rows);
    order_.clear();
    sort_.clear();
    position_ = 0;
}

void Recordset::setActiveConnection(std::nullptr_t)
{
    connection_ = nullptr;
}

int Recordset::State() const
{
    return data_ ? adStateOpen : adStateClosed;
}

Result<int64_t> Recordset::RecordCount() const
{
    if (!data_)
        return dataerr::objectClosed();
    return data_->rowCount();
}

bool Recordset::Eof() const
{
    return !data_ || position_ >= data_->rowCount();
}

bool Recordset::Bof() const
{
    return !data_ || data_->rowCount() == 0 || position_ < 0;
}

Status Recordset::MoveFirst()
{
    if (!data_)
        return dataerr::objectClosed();
    position_ = 0;
    return {};
}

Status Recordset::MoveNext()
{
    if (!data_)
        return dataerr::objectClosed();
    if (Eof())
        return dataerr::noCurrentRecord();
    ++position_;
    return {};
}

Fields Recordset::Fields() const
{
    return ::varnex::Fields(this);
}

QString Recordset::Sort() const
{
    return sort_;
}

Status Recordset::setSort(const QString& specification)
{
    if (!data_)
        return dataerr::objectClosed();
    if (specification.trimmed().isEmpty()) {
        order_.clear();
        sort_.clear();
        position_ = 0;
        return {};
    }
    auto keys = ParseSort(specification, *data_);
    if (!keys)
        return keys.error();
    std::vector<uint32_t> order = order_;
    if (order.empty()) {
        order.resize(static_cast<size_t>(data_->rowCount()));
        std::iota(order.begin(), order.end(), 0u);
    }
    SortRows(*data_, *keys, order);
    order_ = std::move(order);
    sort_ = specification;
    position_ = 0;
    return {};
}

Status Recordset::Close()
{
    if (!data_)
        return dataerr::objectClosed();
    data_.reset();
    order_ = {};
    sort_.clear();
    position_ = 0;
    connection_ = nullptr;
    return {};
}

int16_t Recordset::columnCount() const
{
    return data_ ? static_cast<int16_t>(data_->columnCount()) : 0;
}

QString Recordset::columnName(int column) const
{
    return data_ && column >= 0 && column < data_->columnCount() ? data_->info(column).name : QString();
}

int16_t Recordset::columnType(int column) const
{
    return data_ && column >= 0 && column < data_->columnCount() ? data_->info(column).type : int16_t{0};
}

int64_t Recordset::rowAt(int64_t position) const
{
    return order_.empty() ? position : order_[static_cast<size_t>(position)];
}

namespace {
bool ValidCell(const std::shared_ptr<const TableData>& data, int64_t position, int column)
{
    return data && position >= 0 && position < data->rowCount() && column >= 0 && column < data->columnCount();
}
}  // namespace

bool Recordset::isNull(int64_t position, int column) const
{
    return !ValidCell(data_, position, column) || data_->info(column).type == 0 || data_->isNull(rowAt(position), column);
}

QString Recordset::cellText(int64_t position, int column) const
{
    return ValidCell(data_, position, column) ? CellText(*data_, rowAt(position), column) : QString();
}

void Recordset::appendCellTextUtf8(int64_t position, int column, std::string& out) const
{
    if (ValidCell(data_, position, column))
        AppendCellTextUtf8(*data_, rowAt(position), column, out);
}

void Recordset::appendCellTextUtf8(int64_t position, int column, const Utf8CellText& text, std::string& out) const
{
    if (ValidCell(data_, position, column))
        AppendCellTextUtf8(*data_, rowAt(position), column, text, out);
}

Variant Recordset::value(int64_t position, int column) const
{
    return ValidCell(data_, position, column) ? CellValue(*data_, rowAt(position), column) : Variant();
}

}  // namespace varnex
