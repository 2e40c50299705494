#include "shell/RecordsetModel.h"

#include "store/FieldTypes.h"
#include "data/Recordset.h"
#include "store/TableData.h"

#include <QGuiApplication>
#include <QPalette>

#include <string_view>
#include <limits>

namespace varnex {

namespace {

// A cell shows one line of its text: of a longer value only the beginning is read.
constexpr size_t kMostShownBytes = 2000;

bool isNumericType(FieldType type)
{
    switch (type) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::Single:
    case FieldType::Double:
    case FieldType::Currency:
    case FieldType::BigInt:
    case FieldType::Numeric:
    case FieldType::UnsignedTinyInt:
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
    unsupported_.clear();
    rows_ = 0;
    if (recordset_) {
        const int columns = recordset_->columnCount();
        for (int c = 0; c < columns; ++c) {
            fieldNames_.append(recordset_->columnName(c));
            rightAligned_.append(isNumericType(recordset_->columnType(c)));
            unsupported_.append(recordset_->columnType(c) == FieldType::Unsupported);
        }
        const Result<int64_t> count = recordset_->recordCount();
        rows_ = count.ok() ? *count : 0;
    }
    endResetModel();
}

QString RecordsetModel::shownText(int row, int column) const
{
    const FieldType type = recordset_->columnType(column);
    if (isVariableLength(type)) {
        std::string_view stored = recordset_->loadedRows()->bytesValue(recordset_->storedRow(row), column);
        if (stored.size() > kMostShownBytes) {
            const bool text = type == FieldType::VarWChar || type == FieldType::LongVarWChar;
            size_t end = kMostShownBytes;
            while (text && end > 0 && (static_cast<uint8_t>(stored[end]) & 0xC0) == 0x80)
                --end;  // not inside a character
            stored = stored.substr(0, end);
            const QByteArray head(stored.data(), static_cast<qsizetype>(stored.size()));
            return (text ? QString::fromUtf8(head) : valueText(Variant::binary(head))) + QChar(0x2026);
        }
    }
    return recordset_->cellText(row, column);
}

void RecordsetModel::refreshOrder()
{
    // The rows were put in another order, as a sort does. Rows are positions in the recordset's
    // order, so every index keeps its number and only what the cells show changes. (A change of
    // layout would make the selection model keep a selection row by row: a column selected over
    // many rows would become a range a row, which the headings then test one by one as they paint,
    // for minutes on a large table.)
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void RecordsetModel::refreshRows()
{
    const Result<int64_t> count = recordset_ ? recordset_->recordCount() : Result<int64_t>(int64_t{0});
    const int64_t rows = count.ok() ? *count : 0;
    const int before = rowCount();
    const int after = static_cast<int>(std::min<int64_t>(rows, std::numeric_limits<int>::max()));
    if (after < before) {
        beginRemoveRows({}, after, before - 1);
        rows_ = rows;
        endRemoveRows();
    } else if (after > before) {
        beginInsertRows({}, before, after - 1);
        rows_ = rows;
        endInsertRows();
    }
    rows_ = rows;
    refreshOrder();
}

void RecordsetModel::showAddedRows()
{
    const Result<int64_t> count = recordset_ ? recordset_->recordCount() : Result<int64_t>(int64_t{0});
    const int64_t rows = count.ok() ? *count : 0;
    const int before = rowCount();
    const int after = static_cast<int>(std::min<int64_t>(rows, std::numeric_limits<int>::max()));
    if (after <= before)
        return;
    beginInsertRows({}, before, after - 1);
    rows_ = rows;
    endInsertRows();
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
        if (unsupported_.value(index.column()))
            return recordset_->unreadCellText(index.row(), index.column());
        if (recordset_->isNull(index.row(), index.column()))
            return QString();
        return shownText(index.row(), index.column());
    case Qt::ForegroundRole:
        // A value that is not read is marked apart from the values shown.
        if (unsupported_.value(index.column()))
            return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        return {};
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
