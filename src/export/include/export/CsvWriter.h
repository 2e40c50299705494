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

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace varnex {

class Recordset;

enum class CsvEncoding { LocaleCodeSet, Utf8 };

struct CsvOptions {
    bool includeHeader = false;
    CsvEncoding encoding = CsvEncoding::LocaleCodeSet;
    bool byteOrderMark = false;  // starts UTF-8 output with EF BB BF; no effect on other code sets
};

enum class CsvOutcome { Completed, Cancelled };

// How a sorted order is read from a table of at least fromTableBytes: a stretch of records
// at a time in the order their rows lie, formatted in pieces of pieceRecords (fewer where
// rows are large: about 1 MB of lines), stretchPieces pieces a stretch (0: as many as about
// 16 MB of lines, or a 32nd of the table).
struct StoredRowOrder {
    size_t fromTableBytes = size_t{256} << 20;
    size_t pieceRecords = 8192;
    size_t stretchPieces = 0;
};
// For tests: another order than the default; nullopt sets the default again.
void setStoredRowOrderForTesting(std::optional<StoredRowOrder> order);

// Walks the records in the recordset's current order without moving its
// current record; a second thread may format some of them meanwhile. A sink
// failure ends the walk and is returned.
Result<CsvOutcome> writeCsv(const Recordset& records, const CsvOptions& options, CsvSink& sink,
                            ExportProgress* progress = nullptr);

// The CSV lines of a recordset's records, for a caller that arranges the writing itself:
// appendRecords may run on several threads at once. The recordset must outlive them.
class CsvLines {
public:
    CsvLines(const Recordset& records, const CsvOptions& options);
    ~CsvLines();
    CsvLines(const CsvLines&) = delete;
    CsvLines& operator=(const CsvLines&) = delete;

    // The byte order mark and the header line, as the options ask for them.
    std::string preamble() const;
    void appendRecords(int64_t first, int64_t last, std::string& out) const;

    // Whether records are better formatted from their stored rows, in the order those lie
    // (a sorted order written from the stored values), than in record order.
    bool formatsByStoredRow() const;
    // Records a stretch of them and a piece have where they are.
    size_t recordsPerStretch() const;
    size_t recordsPerPiece() const;
    int64_t storedRow(int64_t record) const;
    int64_t storedRowCount() const;
    // The lines of the given stored rows one after the other; ends[i]: the size of out once
    // row i's line is in. Only where formatsByStoredRow().
    void appendStoredRows(const uint32_t* rows, size_t count, uint64_t* ends, std::string& out) const;

private:
    class Format;
    std::unique_ptr<Format> format_;
    CsvOptions options_;
};

// The same writing in steps, for records that become available over time (a table
// written while it loads): write() the records [first, last) as often as needed,
// in order, then finish(). total: the record count the progress is given. The
// recordset must outlive the writer; its columns must not change meanwhile.
class CsvRecordWriter {
public:
    CsvRecordWriter(const Recordset& records, const CsvOptions& options);
    ~CsvRecordWriter();
    CsvRecordWriter(const CsvRecordWriter&) = delete;
    CsvRecordWriter& operator=(const CsvRecordWriter&) = delete;

    Result<CsvOutcome> write(int64_t first, int64_t last, int64_t total, CsvSink& sink, ExportProgress* progress);
    Result<CsvOutcome> finish(int64_t total, CsvSink& sink, ExportProgress* progress);

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace varnex
