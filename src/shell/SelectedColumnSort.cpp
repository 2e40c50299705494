// Sorting the shown rows by one column: on a double-click in the grid (the one
// whole column selected, ascending), from a heading's menu or by the keyboard.

#include "core/Error.h"
#include "core/Log.h"
#include "data/Recordset.h"
#include "shell/MainWindow.h"

namespace varnex {

namespace {

const QString kGridSortError = QStringLiteral("GridSortERROR: ");

Status sortGridByColumn(DataGrid& grid, int column, Qt::SortOrder order)
{
    const std::shared_ptr<Recordset> shown = grid.recordset();
    if (!shown)
        return makeError(ErrorCode::NoObject);  // no recordset bound
    const QString field = grid.columns().item(column).dataField();
    QString specification = QLatin1Char('[') + field + QLatin1Char(']');
    if (order == Qt::DescendingOrder)
        specification += QLatin1String(" DESC");
    if (Status sorted = shown->setSort(specification); !sorted)
        return sorted;
    grid.showCurrentOrder();
    grid.showSortedColumn(column, order);
    return {};
}

Status sortGridBySelectedColumn(DataGrid& grid)
{
    if (grid.firstSelectedColumn() == -1)
        return {};
    if (grid.firstSelectedColumn() != grid.lastSelectedColumn())
        return {};
    return sortGridByColumn(grid, grid.firstSelectedColumn(), Qt::AscendingOrder);
}

}  // namespace

void MainWindow::sortBySelectedColumn()
{
    if (Status sorted = sortGridBySelectedColumn(*grid); !sorted)
        writeLog(kGridSortError, sorted.error().description, true);
}

void MainWindow::sortByColumn(int column, Qt::SortOrder order)
{
    if (Status sorted = sortGridByColumn(*grid, column, order); !sorted)
        writeLog(kGridSortError, sorted.error().description, true);
}

}  // namespace varnex
