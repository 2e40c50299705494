#include "CsvWhileLoading.h"

#include "data/Recordset.h"

namespace varnex::cli {

CsvWhileLoading::CsvWhileLoading(const CsvOptions& options, CsvSink& sink) : options_(options), sink_(sink) {}

// The work still queued reads batches it holds itself; it ends before they go.
CsvWhileLoading::~CsvWhileLoading() = default;

RowsReceived CsvWhileLoading::receiver()
{
    return [this](const std::shared_ptr<const TableData>& batch) { return arrived(batch); };
}

bool CsvWhileLoading::write(std::string_view bytes)
{
    if (failure_)
        return false;
    if (Status written = sink_.write(bytes); !written)
        failure_ = written.error();
    return !failure_;
}

// The columns come first, as a batch of no rows: the header goes out at once. Each batch of
// rows is queued for formatting; what is formatted already is written meanwhile.
bool CsvWhileLoading::arrived(const std::shared_ptr<const TableData>& batch)
{
    auto records = std::make_shared<Recordset>();
    records->openOver(batch);
    auto lines = std::make_shared<const CsvLines>(*records, options_);
    if (!started_) {
        started_ = true;
        if (!write(lines->preamble()))
            return false;
    }
    if (batch->rowCount() == 0)
        return true;
    // Formatting slower than reading holds the reading up here, so that batches do not pile up.
    while (work_.full() && work_.next(bytes_)) {
        if (!write(bytes_))
            return false;
    }
    const int64_t count = batch->rowCount();
    rows_ += count;
    work_.submit([records, lines, count](std::string& out) { lines->appendRecords(0, count, out); });
    while (work_.nextIfDone(bytes_)) {
        if (!write(bytes_))
            return false;
    }
    return true;
}

Result<CsvOutcome> CsvWhileLoading::finish(ExportProgress* progress)
{
    while (work_.next(bytes_)) {
        if (!write(bytes_))
            return *failure_;
    }
    if (failure_)
        return *failure_;
    if (progress && !progress->keepGoing(rows_, rows_))
        return CsvOutcome::Cancelled;
    return CsvOutcome::Completed;
}

}  // namespace varnex::cli
