#include "data/Recordset.h"

#include "core/Error.h"
#include "data/CellValue.h"
#include "data/Connection.h"
#include "data/FieldTypes.h"
#include "data/SortOrder.h"
#include "data/TableData.h"

#include <numeric>

namespace varnex {

// ----- Field / Fields -----

QString Field::name() const
{
    return recordset_->columnName(column_);
}

int16_t Field::type() const
{
    return recordset_->columnType(column_);
}

Variant Field::value() const
{
    if (!recordset_->isOpen() || recordset_->eof() || recordset_->bof())
        return {};
    return recordset_->value(recordset_->currentPosition(), column_);
}

int16_t Fields::count() const
{
    return recordset_->columnCount();
}

Result<Field> Fields::item(int index) const
{
    if (index < 0 || index >= recordset_->columnCount())
        return makeError(ErrorCode::ItemNotFound);
    return Field(recordset_, index);
}

Result<Field> Fields::item(const QString& name) const
{
    for (int c = 0; c < recordset_->columnCount(); ++c) {
        if (recordset_->columnName(c).compare(name, Qt::CaseInsensitive) == 0)
            return Field(recordset_, c);
    }
    return makeError(ErrorCode::ItemNotFound);
}

// ----- Recordset -----

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

Status Recordset::open(const QString& source, Connection* connection, const LoadProgress& progress)
{
    if (data_)
        return makeError(ErrorCode::ObjectOpen);
    if (!connection || !connection->isOpen())
        return makeError(ErrorCode::ConnectionUnusable);
    auto rows = readWithReaderProcess(connection->databasePath(), source, progress, connection->pagePassword());
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

void Recordset::disconnect()
{
    connection_ = nullptr;
}

bool Recordset::isOpen() const
{
    return data_ != nullptr;
}

Result<int64_t> Recordset::recordCount() const
{
    if (!data_)
        return makeError(ErrorCode::ObjectClosed);
    return data_->rowCount();
}

bool Recordset::eof() const
{
    return !data_ || position_ >= data_->rowCount();
}

bool Recordset::bof() const
{
    return !data_ || data_->rowCount() == 0 || position_ < 0;
}

Status Recordset::moveFirst()
{
    if (!data_)
        return makeError(ErrorCode::ObjectClosed);
    position_ = 0;
    return {};
}

Status Recordset::moveNext()
{
    if (!data_)
        return makeError(ErrorCode::ObjectClosed);
    if (eof())
        return makeError(ErrorCode::NoCurrentRecord);
    ++position_;
    return {};
}

Fields Recordset::Fields() const
{
    return ::varnex::Fields(this);
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
        position_ = 0;
        return {};
    }
    auto keys = parseSort(specification, *data_);
    if (!keys)
        return keys.error();
    std::vector<uint32_t> order = order_;
    if (order.empty()) {
        order.resize(static_cast<size_t>(data_->rowCount()));
        std::iota(order.begin(), order.end(), 0u);
    }
    sortRows(*data_, *keys, order);
    order_ = std::move(order);
    sort_ = specification;
    position_ = 0;
    return {};
}

Status Recordset::close()
{
    if (!data_)
        return makeError(ErrorCode::ObjectClosed);
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
bool validCell(const std::shared_ptr<const TableData>& data, int64_t position, int column)
{
    return data && position >= 0 && position < data->rowCount() && column >= 0 && column < data->columnCount();
}
}  // namespace

bool Recordset::isNull(int64_t position, int column) const
{
    return !validCell(data_, position, column) || data_->info(column).type == 0 || data_->isNull(rowAt(position), column);
}

QString Recordset::cellText(int64_t position, int column) const
{
    std::string text;
    appendCellTextUtf8(position, column, text);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void Recordset::appendCellTextUtf8(int64_t position, int column, std::string& out) const
{
    if (validCell(data_, position, column))
        appendStoredText(*data_, rowAt(position), column, *ValueFormatter::forDefaultLocale(), out);
}

void Recordset::appendCellTextUtf8(int64_t position, int column, const ValueFormatter& formatter,
                                   std::string& out) const
{
    if (validCell(data_, position, column))
        appendStoredText(*data_, rowAt(position), column, formatter, out);
}

void Recordset::prefetch(int64_t position, bool bytes) const
{
    if (data_ && position >= 0 && position < data_->rowCount())
        data_->prefetch(rowAt(position), bytes);
}

Variant Recordset::value(int64_t position, int column) const
{
    return validCell(data_, position, column) ? storedValue(*data_, rowAt(position), column) : Variant();
}

}  // namespace varnex
