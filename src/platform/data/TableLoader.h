#pragma once
// How a recordset gets its rows: the table list or one table of a database
// file, read by the watched reader process.

#include "platform/Error.h"
#include "platform/data/TableData.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace varnex {

// Called now and then with rows read so far and the table's row count; false cancels.
using LoadProgress = std::function<bool(int64_t rowsRead, int64_t rowCount)>;

// The rows, or nullptr when the progress callback cancelled, or the failure.
// table: nullopt reads the table list.
using TableLoader = std::function<Result<std::shared_ptr<TableData>>(
    const QString& path, const std::optional<QString>& table, const LoadProgress& progress)>;

// Replaces how tables are loaded (tests); an empty loader restores the reader process.
TableLoader SetTableLoaderForTesting(TableLoader loader);
Result<std::shared_ptr<TableData>> LoadTable(const QString& path, const std::optional<QString>& table,
                                             const LoadProgress& progress);

}  // namespace varnex
