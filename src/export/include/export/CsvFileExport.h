#pragma once

#include "core/Error.h"
#include "export/CsvWriter.h"

#include <QString>

namespace varnex {

class Recordset;

// Writes the recordset to fileName, replacing a file of that name only once
// every line is written; on failure or cancel the folder is as it was.
Result<CsvOutcome> exportCsvFile(const Recordset& records, const QString& fileName, const CsvOptions& options,
                                 ExportProgress* progress = nullptr);

}  // namespace varnex
