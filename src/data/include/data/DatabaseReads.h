#pragma once
// Reads of an open database beyond a table's rows, through the reader process: its schema, and the
// values of a complex column as rows of their own. They take the database's file as a value, so that
// they may run on a thread of their own while its connection is closed or opened again.

#include "core/Error.h"
#include "store/DatabaseSchema.h"
#include "data/ReaderProcess.h"

#include <QString>

#include <memory>
#include <vector>

namespace varnex {

class Connection;

struct DatabaseFile {
    QString path;
    QString pagePassword;  // of an encrypted .accdb (Connection::pagePassword)
};

DatabaseFile databaseFileOf(const Connection& connection);

// The schema of the user tables (in the order of the table list) and the relationships between them.
// warnings: what could not be read of it (an index, a relationship); a table's values are left to its
// read, and so is what they lack.
Result<DatabaseSchema> readDatabaseSchema(const DatabaseFile& file, std::vector<ReadWarning>& warnings,
                                          const LoadProgress& progress = {});

// The rows of a table as the window and the export read them; received: as for Recordset::open.
// Nothing (no error) where progress or received cancelled.
Result<std::shared_ptr<TableData>> readTableRows(const DatabaseFile& file, const QString& table, std::vector<ReadWarning>& warnings,
                                                 const LoadProgress& progress = {}, const RowsReceived& received = {});
// The same rows handed to received batch by batch (ReaderRequest::handOver): the columns first
// as a table of no rows, then each call with the rows of one batch alone, which received may keep;
// the table returned has the columns and no rows.
Result<std::shared_ptr<TableData>> streamTableRows(const DatabaseFile& file, const QString& table, std::vector<ReadWarning>& warnings,
                                                   const LoadProgress& progress, const RowsReceived& received);

// The values of a complex column (SchemaColumn::values) one a row: "row", the position of its row
// among readTableRows' rows, then an attachment's FileName, FileType, FileData (the file's bytes) and
// FileTimeStamp, or a multi-value column's Value.
Result<std::shared_ptr<TableData>> readComplexValues(const DatabaseFile& file, const QString& table, const QString& column,
                                                     std::vector<ReadWarning>& warnings, const LoadProgress& progress = {});

}  // namespace varnex
