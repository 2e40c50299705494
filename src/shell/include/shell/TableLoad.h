#pragma once
// A table loading into the grid: the grid shows the first rows as soon as they come and
// grows while the rest is read, the status line counting them ("Loading: 412,000 rows").
// The rows are stored on the window's thread as each batch comes, while the reader decodes
// the next; the window repaints and runs its timers between batches, and takes no input but
// the progress dialog's (LoadProgressDialog), so that nothing that needs every row (a sort,
// a filter, an export or a copy) starts before they are all in. Cancel leaves the grid empty.

#include "core/Error.h"
#include "shell/GridColumnWidths.h"

#include <QElapsedTimer>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace varnex {

class Connection;
class DataGrid;
class Recordset;
class StatusLine;
class TableData;

class TableLoad {
public:
    // bound: called once the grid shows the table (its first rows, or every row of a small one).
    TableLoad(DataGrid& grid, StatusLine& status, std::function<void()> bound);

    // Loads the table named by the key into the grid; the progress dialog shows on owner once
    // the load has run for delayMs. The failure, or nothing where every row came or the user
    // cancelled (cancelled() then; the grid is left empty).
    Status run(Connection& connection, const TableKey& key, QWidget* owner, int delayMs);
    bool cancelled() const { return cancelled_; }

private:
    bool arrived(const std::shared_ptr<const TableData>& rows);

    DataGrid& grid_;
    StatusLine& status_;
    std::function<void()> bound_;
    TableKey key_;
    std::shared_ptr<Recordset> shown_;  // over the rows as they come
    QElapsedTimer sinceGrown_;
    bool cancelled_ = false;
};

}  // namespace varnex
