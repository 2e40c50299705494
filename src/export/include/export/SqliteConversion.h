#pragma once
// A whole database into one new SQLite database: every user table (or those asked for) with its rows,
// the tables of its complex columns' values, its indexes and the relationships Access enforces (see
// export/SqlSchema.h for the layout), each value bound from the value the read decoded (see
// export/SqliteRowWriter.h). One transaction; each table in a savepoint of its own, so that a table
// that fails is left out whole and the others are still written. The file is written under a
// temporary name and put in place once complete (export/NewDatabaseFile.h); a failure or a cancel
// before that leaves nothing behind.

#include "core/Error.h"
#include "data/DatabaseReads.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace varnex {

struct ConversionRequest {
    DatabaseFile source;
    QString output;         // the SQLite file, its name as given
    bool replace = false;   // replace an existing file of that name, rather than fail
    QStringList tables;     // those tables, in that order; empty: every user table
    bool strict = false;    // what cannot be read or written exactly fails its table
};

// Told how the conversion goes, on the thread that runs it.
class ConversionObserver {
public:
    virtual ~ConversionObserver() = default;
    // Asked now and then while the schema is read and between tables: false cancels the conversion.
    virtual bool keepGoing() = 0;
    // Before a table is read (number: 1 to count): the progress callback of its reads, which cancels
    // the whole conversion by returning false.
    virtual LoadProgress tableStarting(const QString& table, int number, int count) = 0;
    virtual void tableWritten(const QString& table, int64_t rows) = 0;
    // A table left out: its read or its writing failed; cause is empty where the warnings that made
    // it fail (strict) have said why.
    virtual void tableFailed(const QString& table, const QString& cause) = 0;
    // What could not be read or written exactly (left empty), as it becomes known.
    virtual void warned(const ReadWarning& warning) = 0;
};

enum class ConversionOutcome {
    Completed,     // every table written
    TablesFailed,  // the database written without the tables that failed
    Failed,        // nothing written (error says why)
    Cancelled,     // nothing written
};

struct ConversionResult {
    ConversionOutcome outcome = ConversionOutcome::Failed;
    Error error;
    int tablesWritten = 0;
    int tablesFailed = 0;
};

ConversionResult convertToSqlite(const ConversionRequest& request, ConversionObserver& observer);

}  // namespace varnex
