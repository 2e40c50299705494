#include "shell/GridFilter.h"

#include "data/Recordset.h"
#include "shell/DataGrid.h"
#include "shell/RecordsetModel.h"

namespace varnex {

namespace {
// Up to this many rows to look at, filtering takes no more than a moment: it runs at once.
constexpr size_t kRowsFilteredAtOnce = 50000;
}  // namespace

GridFilter::GridFilter(DataGrid& grid) : QObject(&grid), grid_(grid) {}

void GridFilter::setText(const QString& text)
{
    text_ = text;
    start();
}

void GridFilter::reset()
{
    task_.cancel();
    text_.clear();
}

void GridFilter::finish()
{
    // A run that finds the rows sorted meanwhile starts again, on the order that now stays.
    while (task_.busy())
        task_.finishNow();
}

std::vector<int> GridFilter::shownColumns() const
{
    std::vector<int> columns;
    for (int c = 0; c < grid_.model()->columnCount(); ++c) {
        if (!grid_.isColumnHidden(c))
            columns.push_back(c);
    }
    return columns;
}

void GridFilter::start()
{
    const std::shared_ptr<Recordset> recordset = grid_.recordset();
    task_.cancel();
    if (!recordset)
        return;
    if (text_.isEmpty()) {
        if (recordset->isFiltered()) {
            (void)recordset->setFilter(QString(), {});
            grid_.showCurrentRows();
        }
        emit applied();
        return;
    }
    auto run = std::make_shared<RowFilterRun>(recordset->prepareFilter(text_, shownColumns()));
    if (run->candidates.size() <= kRowsFilteredAtOnce) {
        run->run();
        if (recordset->applyFilter(*run))
            grid_.showCurrentRows();
        emit applied();
        return;
    }
    std::weak_ptr<Recordset> filtered = recordset;
    task_.start([this, run, filtered](const std::atomic<bool>& cancelled) -> BackgroundTask::Finish {
        if (!run->run(&cancelled))
            return {};
        return [this, run, filtered] {
            const std::shared_ptr<Recordset> recordset = filtered.lock();
            if (!recordset || recordset != grid_.recordset())
                return;
            if (!recordset->applyFilter(*run)) {
                start();  // the rows were sorted meanwhile
                return;
            }
            grid_.showCurrentRows();
            emit applied();
        };
    });
}

}  // namespace varnex
