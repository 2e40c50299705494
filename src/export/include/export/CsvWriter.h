#pragma once
// Writes the records of a recordset as CSV lines: fields named RECID (in any
// case) are left out, text values are quoted, every line ends in CR LF, and the
// bytes are those of the locale's code set. A value or name holding a comma, a
// double quote, CR or LF is quoted with its double quotes doubled, so every
// line reads back into the values it came from. The bytes can be UTF-8
// instead, whatever the locale.

#include "core/Error.h"
#include "export/CsvSink.h"
#include "export/ExportProgress.h"

namespace varnex {

class Recordset;

enum class CsvEncoding { LocaleCodeSet, Utf8 };

struct CsvOptions {
    bool includeHeader = false;
    CsvEncoding encoding = CsvEncoding::LocaleCodeSet;
    bool byteOrderMark = false;  // starts UTF-8 output with EF BB BF; no effect on other code sets
};

enum class CsvOutcome { Completed, Cancelled };

// Walks the records in the recordset's current order without moving its
// current record; a second thread may format some of them meanwhile. A sink
// failure ends the walk and is returned.
Result<CsvOutcome> writeCsv(const Recordset& records, const CsvOptions& options, CsvSink& sink,
                            ExportProgress* progress = nullptr);

}  // namespace varnex
