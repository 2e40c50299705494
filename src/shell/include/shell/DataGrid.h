#pragma once
// The main window's grid: a read-only table view bound to one recordset.
// Whole columns are selected by clicking their headings (shift or ctrl for
// several); a double-click on a cell or a heading raises doubleClickedAnywhere; Ctrl+C
// copies the selected cells as tab-separated text.

#include "shell/GridColumns.h"

#include <QTableView>

#include <cstdint>
#include <memory>

namespace varnex {

class Recordset;
class RecordsetModel;

class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);

    // The bound recordset, or nothing when unbound.
    std::shared_ptr<Recordset> recordset() const;
    // Binds a recordset (one column per field, in field order) or, given
    // nothing, unbinds. The grid then shares ownership of the recordset.
    void setRecordset(std::shared_ptr<Recordset> recordset);

    GridColumns columns() { return GridColumns(*this); }

    // First and last whole column selected; -1 for both when none is.
    int16_t SelStartCol() const;
    int16_t SelEndCol() const;

    // Shows the bound recordset's rows again in its current order.
    void showCurrentOrder();

    // The selected cells as the clipboard receives them on Ctrl+C.
    QString selectedText() const;
    void copySelection();

    const RecordsetModel& recordsetModel() const { return *model_; }

signals:
    void doubleClickedAnywhere();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fitColumnWidths();

    RecordsetModel* model_;
};

}  // namespace varnex
