#include "shell/RecordsetModel.h"

#include "data/FieldTypes.h"
#include "data/Recordset.h"

#include <limits>

namespace varnex {

namespace {

bool isNumericType(int16_t type)
{
    switch (type) {
    case fieldtype::SmallInt:
    case fieldtype::Integer:
    case fieldtype::Single:
    case fieldtype::Double:
    case fieldtype::Currency:
    case fieldtype::BigInt:
    case fieldtype::Numeric:
    case fieldtype::UnsignedTinyInt:
        return true;
    default:
        return false;
    }
}

}  // namespace

RecordsetModel::RecordsetModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordsetModel::setRecordset(std::shared_ptr<Recordset> recordset)
{
    beginResetModel();
    recordset_ = std::move(recordset);
    fieldNames_.clear();
    rightAligned_.clear();
    rows_ = 0;
    if (recordset_) {
        const int columns = recordset_->columnCount();
        for (int c = 0; c < columns; ++c) {
            fieldNames_.append(recordset_->columnName(c));
            rightAligned_.append(isNumericType(recordset_->columnType(c)));
        }
        const Result<int64_t> count = recordset_->recordCount();
        rows_ = count.ok() ? *count : 0;
    }
    endResetModel();
}

void RecordsetModel::refreshOrder()
{
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

QString RecordsetModel::fieldName(int column) const
{
    return column >= 0 && column < fieldNames_.size() ? fieldNames_.at(column) : QString();
}

int RecordsetModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(std::min<qint64>(rows_, std::numeric_limits<int>::max()));
}

int RecordsetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(fieldNames_.size());
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const
{
    if (!recordset_ || !index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        if (recordset_->isNull(index.row(), index.column()))
            return QString();
        return recordset_->cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (rightAligned_.value(index.column()) ? Qt::AlignRight : Qt::AlignLeft));
    default:
        return {};
    }
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return fieldName(section);
    return {};
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

}  // namespace varnex
