#pragma once
// A table written as CSV while it loads: each batch of rows goes to the sink as
// soon as it has arrived, so that formatting and writing overlap the reader's
// work. Only for the table's own order; a sort needs every row first.

#include "core/Error.h"
#include "data/ReaderProcess.h"
#include "export/CsvWriter.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace varnex {
class Recordset;
}

namespace varnex::cli {

class CsvWhileLoading {
public:
    CsvWhileLoading(const CsvOptions& options, CsvSink& sink);
    ~CsvWhileLoading();

    // For Recordset::open; it stops the load where the sink fails.
    RowsReceived receiver();
    // The sink's failure that stopped the load, if any.
    const std::optional<Error>& failure() const { return failure_; }

    // Writes what has not gone out yet of the loaded recordset (all of it where no
    // batch arrived, as for an empty table) and ends the CSV.
    Result<CsvOutcome> finish(const Recordset& loaded, ExportProgress* progress);

private:
    bool writeArrived(const std::shared_ptr<const TableData>& rows);

    CsvOptions options_;
    CsvSink& sink_;
    std::shared_ptr<Recordset> arrived_;  // a view of the rows as they arrive, in load order
    std::unique_ptr<CsvRecordWriter> writer_;
    int64_t written_ = 0;
    std::optional<Error> failure_;
};

}  // namespace varnex::cli
