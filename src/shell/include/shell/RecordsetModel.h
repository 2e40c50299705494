#pragma once
// Read-only table model over a loaded recordset. Cells are read from the
// recordset when the view asks for them, in the recordset's current order;
// nothing is copied or cached per row. Of a text or binary value longer than a
// cell can show, only the beginning is shown, followed by an ellipsis. A value
// of a type not read shows greyed as "(unsupported type 0x46, 12 bytes)".

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

#include <memory>

namespace varnex {

class Recordset;

class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordsetModel(QObject* parent = nullptr);

    std::shared_ptr<Recordset> recordset() const { return recordset_; }
    void setRecordset(std::shared_ptr<Recordset> recordset);

    // The recordset's order has changed (sorted); every cell is read again.
    void refreshOrder();
    // The recordset shows other rows (filtered): rows are added or taken away at
    // the end, so that the columns keep their widths, and every cell is read again.
    void refreshRows();
    // The recordset's table has grown (it is still loading): the rows that came are added at the end.
    void showAddedRows();

    QString fieldName(int column) const;
    qint64 recordCount() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QString shownText(int row, int column) const;

    std::shared_ptr<Recordset> recordset_;
    QStringList fieldNames_;
    QVector<bool> rightAligned_;
    QVector<bool> unsupported_;  // columns of a type not read: greyed placeholders
    qint64 rows_ = 0;
};

}  // namespace varnex
