#include "CsvWhileLoading.h"

#include "data/Recordset.h"

namespace varnex::cli {

CsvWhileLoading::CsvWhileLoading(const CsvOptions& options, CsvSink& sink) : options_(options), sink_(sink) {}

CsvWhileLoading::~CsvWhileLoading() = default;

RowsReceived CsvWhileLoading::receiver()
{
    return [this](const std::shared_ptr<const TableData>& rows) { return writeArrived(rows); };
}

bool CsvWhileLoading::writeArrived(const std::shared_ptr<const TableData>& rows)
{
    if (!arrived_) {
        arrived_ = std::make_shared<Recordset>();
        arrived_->openOver(rows);
        writer_ = std::make_unique<CsvRecordWriter>(*arrived_, options_);
    }
    const int64_t available = rows->rowCount();
    const Result<CsvOutcome> written = writer_->write(written_, available, available, sink_, nullptr);
    if (!written) {
        failure_ = written.error();
        return false;
    }
    written_ = available;
    return true;
}

Result<CsvOutcome> CsvWhileLoading::finish(const Recordset& loaded, ExportProgress* progress)
{
    if (!writer_)
        return writeCsv(loaded, options_, sink_, progress);
    const int64_t total = arrived_->recordCount().value();
    const Result<CsvOutcome> written = writer_->write(written_, total, total, sink_, progress);
    if (!written || *written == CsvOutcome::Cancelled)
        return written;
    written_ = total;
    return writer_->finish(total, sink_, progress);
}

}  // namespace varnex::cli
