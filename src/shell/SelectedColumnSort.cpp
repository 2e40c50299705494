// Sorting the shown rows by one column, on a double-click in the grid.

#include "core/Error.h"
#include "core/Log.h"
#include "data/Recordset.h"
#include "shell/MainWindow.h"

namespace varnex {

namespace {

const QString kGridSortError = QStringLiteral("GridSortERROR: ");

Status sortGridBySelectedColumn(DataGrid& grid)
{
    if (grid.SelStartCol() == -1)
        return {};
    if (grid.SelStartCol() != grid.SelEndCol())
        return {};
    const std::shared_ptr<Recordset> shown = grid.recordset();
    if (!shown)
        return makeError(ErrorCode::NoObject);  // no recordset bound
    const QString field = grid.columns().item(grid.SelStartCol()).dataField();
    if (Status sorted = shown->setSort(QLatin1Char('[') + field + QLatin1Char(']')); !sorted)
        return sorted;
    grid.showCurrentOrder();
    return {};
}

}  // namespace

void MainWindow::sortBySelectedColumn()
{
    if (Status sorted = sortGridBySelectedColumn(*grid); !sorted)
        writeLog(kGridSortError, sorted.error().description, true);
}

}  // namespace varnex
