#pragma once
// Writes the records of a recordset as CSV lines: fields named RECID (in any
// case) are left out, text values are quoted, every line ends in CR LF, and the
// bytes are those of the locale's code set. A value or name holding a comma, a
// double quote, CR or LF is quoted with its double quotes doubled, so every
// line reads back into the values it came from.

#include "core/Error.h"
#include "export/CsvSink.h"
#include "export/ExportProgress.h"

namespace varnex {

class Recordset;

struct CsvOptions {
    bool includeHeader = false;
};

enum class CsvOutcome { Completed, Cancelled };

// Walks the records in the recordset's current order without moving its
// current record; a second thread may format some of them meanwhile. A sink
// failure ends the walk and is returned.
Result<CsvOutcome> writeCsv(const Recordset& records, const CsvOptions& options, CsvSink& sink,
                            ExportProgress* progress = nullptr);

}  // namespace varnex
