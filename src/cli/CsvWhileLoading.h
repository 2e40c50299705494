#pragma once
// A table written as CSV while it loads: each batch of rows is formatted on the
// cores as soon as it has arrived, while the next ones are read, and written in
// the table's order; no batch is kept once it is written. Only for the table's
// own order; a sort needs every row first.

#include "core/Error.h"
#include "data/ReaderProcess.h"
#include "export/CsvWriter.h"
#include "export/OrderedWork.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace varnex::cli {

class CsvWhileLoading {
public:
    CsvWhileLoading(const CsvOptions& options, CsvSink& sink);
    ~CsvWhileLoading();

    // For streamTableRows; it stops the load where the sink fails.
    RowsReceived receiver();
    // The sink's failure that stopped the load, if any.
    const std::optional<Error>& failure() const { return failure_; }

    // Writes what has not gone out yet and ends the CSV.
    Result<CsvOutcome> finish(ExportProgress* progress);
    int64_t rows() const { return rows_; }

private:
    bool arrived(const std::shared_ptr<const TableData>& batch);
    bool write(std::string_view bytes);

    CsvOptions options_;
    CsvSink& sink_;
    OrderedWork work_;
    std::string bytes_;  // formatted records taken from the work, to be written
    int64_t rows_ = 0;
    bool started_ = false;  // the header is written
    std::optional<Error> failure_;
};

}  // namespace varnex::cli
