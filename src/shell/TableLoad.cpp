#include "shell/TableLoad.h"

#include "data/Connection.h"
#include "data/Recordset.h"
#include "shell/DataGrid.h"
#include "shell/LoadProgressDialog.h"
#include "shell/StatusLine.h"

namespace varnex {

namespace {
// The grid and the status line follow the rows this often; a repaint takes longer than storing a batch.
constexpr qint64 kGrowIntervalMs = 40;
}  // namespace

TableLoad::TableLoad(DataGrid& grid, StatusLine& status, std::function<void()> bound)
    : grid_(grid), status_(status), bound_(std::move(bound))
{
}

// The first batch binds the grid to a recordset over the rows that have come; later ones add
// rows to it now and then. Between batches the window repaints (the progress callback).
bool TableLoad::arrived(const std::shared_ptr<const TableData>& rows)
{
    if (!shown_) {
        shown_ = std::make_shared<Recordset>();
        shown_->openOver(rows);
        grid_.setLoadingRecordset(shown_, key_);
        if (bound_)
            bound_();
        sinceGrown_.start();
    } else if (sinceGrown_.elapsed() >= kGrowIntervalMs) {
        grid_.showArrivedRows();
        sinceGrown_.restart();
    } else {
        return true;
    }
    status_.showLoading(shown_->recordCount().value());
    return true;
}

Status TableLoad::run(Connection& connection, const TableKey& key, QWidget* owner, int delayMs)
{
    key_ = key;
    auto loading = std::make_shared<Recordset>();
    LoadProgressDialog progress(owner, key.table, delayMs);
    const Status opened = loading->open(key.table, &connection, progress.callback(),
                                        [this](const std::shared_ptr<const TableData>& rows) { return arrived(rows); });
    cancelled_ = progress.cancelled();
    if (cancelled_ || !opened) {
        if (shown_)
            grid_.setRecordset(nullptr);
        return cancelled_ ? Status{} : opened;
    }
    if (!shown_) {  // no batch came: a table without rows
        grid_.setRecordset(loading, key);
        if (bound_)
            bound_();
        return {};
    }
    // The grid's recordset has been over these very rows all along; what the read could not
    // read is known only now.
    shown_->openOver(loading->loadedRows(), loading->warnings());
    grid_.finishLoading(key);
    return {};
}

}  // namespace varnex
