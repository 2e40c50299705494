// Sorting the shown rows by one column, on a double-click in the grid.

#include "app/WriteLog.h"
#include "browser/frmMain.h"
#include "platform/RuntimeError.h"
#include "platform/data/Recordset.h"

namespace varnex {

namespace {

const QString kGridSortError = QStringLiteral("GridSortERROR: ");

Status SortBySelectedColumn(DataGrid& grid)
{
    if (grid.SelStartCol() == -1)
        return {};
    if (grid.SelStartCol() != grid.SelEndCol())
        return {};
    const std::shared_ptr<Recordset> shown = grid.DataSource();
    if (!shown)
        return RuntimeError(91);  // no recordset bound
    const QString field = grid.Columns().Item(grid.SelStartCol()).DataField();
    if (Status sorted = shown->setSort(QLatin1Char('[') + field + QLatin1Char(']')); !sorted)
        return sorted;
    grid.Refresh();
    return {};
}

}  // namespace

void frmMain::GridSort()
{
    if (Status sorted = SortBySelectedColumn(*dgData); !sorted)
        WriteLog(kGridSortError, sorted.error().description, true);
}

}  // namespace varnex
