#include "Arguments.h"
#include "Commands.h"
#include "DatabaseOpening.h"
#include "Diagnostics.h"
#include "Interruption.h"
#include "StandardOutput.h"
#include "data/Connection.h"
#include "data/DatabaseReads.h"
#include "export/SqlSchema.h"

namespace varnex::cli {

Ending printSchema(const Invocation& invocation)
{
    catchInterruptions();
    Connection connection;
    if (const Ending opened = openForCommand(connection, invocation); opened != Ending::Completed)
        return opened;
    std::vector<ReadWarning> warnings;
    const Result<DatabaseSchema> schema =
        readDatabaseSchema(databaseFileOf(connection), warnings, [](int64_t, int64_t) { return !interrupted(); });
    if (interrupted())
        return Ending::Interrupted;
    if (!schema) {
        reportFailure(invocation.database, schema.error().description);
        return Ending::Failed;
    }
    if (!reportReadWarnings(invocation.database, warnings, invocation.strict))
        return Ending::Failed;
    QStringList missing;
    const DatabaseSchema selected = selectTables(*schema, invocation.tables, missing);
    if (!missing.isEmpty()) {
        reportFailure(invocation.database, QStringLiteral("The database has no table '%1'.").arg(missing.first()));
        return Ending::Failed;
    }
    if (const Ending written = writeStandardOutput(sqlSchemaText(planSqlTables(selected), invocation.dialect));
        written != Ending::Completed)
        return written;
    // A table whose definition could not be read comes without columns; like export-all, the others are still written.
    Ending ending = Ending::Completed;
    for (const SchemaTable& table : selected.tables) {
        if (table.columns.empty()) {
            reportFailure(invocation.database, table.name, QStringLiteral("its definition is damaged and could not be read"));
            ending = Ending::Failed;
        }
    }
    return ending;
}

}  // namespace varnex::cli
