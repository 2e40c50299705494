#include "shell/GridProfiler.h"

#include "data/Recordset.h"

#include <numeric>

namespace varnex {

GridProfiler::GridProfiler(QObject* parent) : QObject(parent) {}

void GridProfiler::profile(const std::shared_ptr<Recordset>& recordset)
{
    if (!recordset || !recordset->isOpen()) {
        task_.cancel();
        return;
    }
    std::vector<int> columns(static_cast<size_t>(recordset->columnCount()));
    std::iota(columns.begin(), columns.end(), 0);
    std::shared_ptr<const TableData> rows = recordset->loadedRows();
    std::shared_ptr<const ValueFormatter> cellText = ValueFormatter::forDefaultLocale();
    std::weak_ptr<Recordset> profiled = recordset;
    task_.start([this, rows, cellText, columns, profiled](const std::atomic<bool>& cancelled) -> BackgroundTask::Finish {
        std::optional<ColumnTextProfiles> found = profileColumnTexts(rows, cellText, columns, &cancelled);
        if (!found)
            return {};
        auto profiles = std::make_shared<const ColumnTextProfiles>(std::move(*found));
        return [this, profiles, profiled] {
            const std::shared_ptr<Recordset> recordset = profiled.lock();
            if (!recordset)
                return;
            recordset->setTextProfiles(profiles);
            emit this->profiled(profiles);
        };
    });
}

}  // namespace varnex
