#include "export/CsvFileExport.h"

#include "export/CsvFileSink.h"

namespace varnex {

Result<CsvOutcome> exportCsvFile(const Recordset& records, const QString& fileName, const CsvOptions& options,
                                 ExportProgress* progress)
{
    CsvFileSink sink(fileName);
    if (Status opened = sink.open(); !opened)
        return opened.error();
    Result<CsvOutcome> outcome = writeCsv(records, options, sink, progress);
    if (!outcome || *outcome == CsvOutcome::Cancelled)
        return outcome;
    if (Status committed = sink.commit(); !committed)
        return committed.error();
    return CsvOutcome::Completed;
}

}  // namespace varnex
