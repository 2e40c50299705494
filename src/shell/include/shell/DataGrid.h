#pragma once
// The main window's grid: a read-only table view bound to one recordset.
// Whole columns are selected by clicking their headings (shift or ctrl for
// several); a double-click on a cell or a heading raises doubleClickedAnywhere.
// Enter or Space shows the current cell's value whole (the window's menu has the
// keys to copy and sort, shell/MainMenu.h). A heading's
// context menu asks for a sort, a cell's shows its value. The sorted column's
// heading carries the sort indicator; a cut cell shows its text as a tooltip.

#include "shell/GridColumnWidths.h"
#include "shell/GridColumns.h"

#include <QTableView>

#include <cstdint>
#include <memory>

class QMenu;

namespace varnex {

class CellToolTips;
class ClipboardCopy;
class GridFilter;
class GridProfiler;
class Recordset;
class RecordsetModel;

class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);
    ~DataGrid() override;

    // The bound recordset, or nothing when unbound.
    std::shared_ptr<Recordset> recordset() const;
    // Binds a recordset (one column per field, in field order) or, given
    // nothing, unbinds. The grid then shares ownership of the recordset. The
    // key names the table: column widths the user set for it come back.
    void setRecordset(std::shared_ptr<Recordset> recordset, const TableKey& key = {});
    // While a table loads: binds a recordset over the rows that have come so far, as setRecordset
    // does but with nothing done in the background; showArrivedRows() adds the rows come since,
    // and finishLoading(), once every row is in, fits the columns to them all and starts the
    // background work. Nothing but this thread may read the rows meanwhile.
    void setLoadingRecordset(std::shared_ptr<Recordset> recordset, const TableKey& key);
    void showArrivedRows();
    void finishLoading(const TableKey& key);

    GridColumns columns() { return GridColumns(*this); }

    // First and last whole column selected; -1 for both when none is.
    int firstSelectedColumn() const;
    int lastSelectedColumn() const;

    // Shows the bound recordset's rows again in its current order.
    void showCurrentOrder();
    // Shows the rows the recordset shows now (after its filter changed), from the first.
    void showCurrentRows();
    // Marks the heading of the column the rows are sorted by; -1 for none.
    void showSortedColumn(int column, Qt::SortOrder order);
    int sortedColumn() const { return sortedColumn_; }

    // Shows only the rows where a shown column's text holds the text (see GridFilter).
    void setFilterText(const QString& text);
    QString filterText() const;
    // Filtering or profiling the rows in the background.
    bool isBusy() const;
    bool isFiltering() const;
    // Brings the rows shown up to the filter's text at once, so that a command sees what the
    // text asks for: a filter still running in the background is waited for.
    void finishFiltering();

    // The selected cells as the clipboard receives them on Ctrl+C (at once, however many).
    QString selectedText(bool withHeadings = false) const;
    void copySelection(bool withHeadings = false);
    bool isCopying() const;

    // Opens a value viewer on the cell.
    void showValue(const QModelIndex& index);
    std::unique_ptr<QMenu> headingMenu(int column);
    std::unique_ptr<QMenu> cellMenu(const QModelIndex& index);
    // The tooltip of a cell (empty unless the cell shows its text only in part).
    QString toolTipFor(const QModelIndex& index) const;

    const RecordsetModel& recordsetModel() const { return *model_; }
    const GridColumnWidths& columnWidths() const { return *widths_; }

signals:
    void doubleClickedAnywhere();
    void sortRequested(int column, Qt::SortOrder order);
    // The rows shown changed: another recordset, or the filter.
    void shownRowsChanged();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void bindRecordset(const std::shared_ptr<Recordset>& recordset, const TableKey& key);
    void keepSortIndicator();

    RecordsetModel* model_;
    GridColumnWidths* widths_;
    GridFilter* filter_;
    GridProfiler* profiler_;
    CellToolTips* toolTips_;
    ClipboardCopy* copier_;
    int sortedColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace varnex
