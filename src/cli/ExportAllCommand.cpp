#include "Arguments.h"
#include "Commands.h"
#include "DatabaseOpening.h"
#include "Diagnostics.h"
#include "Interruption.h"
#include "StandardOutput.h"
#include "TableExport.h"
#include "core/FileSystem.h"
#include "data/Connection.h"
#include "data/TableList.h"
#include "export/CsvFileNames.h"

#include <optional>

namespace varnex::cli {

namespace {

// Nothing where the list fails, or where --strict fails it for what it could not read.
std::optional<QStringList> userTableNames(Connection& connection, const Invocation& invocation)
{
    const std::optional<std::vector<TableEntry>> tables = tableListForCommand(connection, invocation);
    if (!tables)
        return std::nullopt;
    QStringList names;
    for (const TableEntry& table : *tables) {
        if (isUserTable(table))
            names << table.name;
    }
    return names;
}

}  // namespace

Ending exportAllTables(const Invocation& invocation)
{
    catchInterruptions();
    Connection connection;
    if (const Ending opened = openForCommand(connection, invocation); opened != Ending::Completed)
        return opened;
    const std::optional<QStringList> tables = userTableNames(connection, invocation);
    if (interrupted())
        return Ending::Interrupted;
    if (!tables)
        return Ending::Failed;
    if (const Status made = makeFolderPath(invocation.folder); !made) {
        reportFailure(invocation.database, made.error().description);
        return Ending::Failed;
    }
    const QString folder = invocation.folder.endsWith(QLatin1Char('/')) ? invocation.folder
                                                                         : invocation.folder + QLatin1Char('/');

    const QStringList files = csvFileNames(*tables);
    Ending overall = Ending::Completed;
    for (qsizetype i = 0; i < tables->size(); ++i) {
        const QString& table = tables->at(i);
        const QString path = folder + files[i];
        TableExport job(connection, {invocation.database, table, QString(), csvOptions(invocation), invocation.strict});
        const Ending ending = job.toFile(path);
        if (ending == Ending::Failed) {
            overall = Ending::Failed;
            continue;
        }
        if (ending != Ending::Completed)
            return ending;
        const QString rows = job.rows() == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(job.rows());
        const QString summary = QStringLiteral("%1 -> %2 (%3)\n").arg(table, path, rows);
        if (const Ending said = writeStandardOutput(summary); said != Ending::Completed)
            return said;
    }
    return overall;
}

}  // namespace varnex::cli
