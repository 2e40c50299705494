#pragma once
// One table written as CSV to standard output or to a file: without a sort it is
// written while it is read and never held whole; with one it is read into memory
// and sorted first.

#include "Ending.h"
#include "export/CsvWriter.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace varnex {
class Connection;
class Recordset;
}

namespace varnex::cli {

class CsvWhileLoading;
class TerminalProgress;

struct TableRequest {
    QString database;  // as given, for messages
    QString table;
    QString sort;      // "COL [ASC|DESC], ..."; empty: the order of the file
    CsvOptions options;
    bool strict = false;  // what the read could not read fails the export: nothing is written
};

// Failures are reported on standard error as they happen, naming the database and the table, and
// so is what the read could not read (as warnings, or with strict as failures).
class TableExport {
public:
    TableExport(Connection& connection, TableRequest request);
    ~TableExport();

    Ending toStandardOutput();
    // Writes through a temporary name in the folder of path, renamed to path once complete;
    // the file is created before the table is read, so an unwritable path fails early.
    Ending toFile(const QString& path);

    int64_t rows() const { return rows_; }

private:
    // streaming: where given, the rows go out to its sink as they arrive (no sort only).
    Ending load(TerminalProgress& progress, CsvWhileLoading* streaming);
    CsvWhileLoading* streamingFor(CsvWhileLoading& candidate) const;
    Result<CsvOutcome> writeLoaded(CsvWhileLoading& streamed, CsvSink& sink, TerminalProgress& progress);
    Ending failed(const QString& cause) const;

    Connection& connection_;
    TableRequest request_;
    std::shared_ptr<Recordset> records_;
    int64_t rows_ = 0;
};

}  // namespace varnex::cli
