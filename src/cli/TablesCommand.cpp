#include "Arguments.h"
#include "Commands.h"
#include "DatabaseOpening.h"
#include "Diagnostics.h"
#include "StandardOutput.h"
#include "data/Connection.h"
#include "data/TableList.h"

namespace varnex::cli {

Ending listTables(const Invocation& invocation)
{
    Connection connection;
    if (!openForCommand(connection, invocation))
        return Ending::Failed;
    const std::optional<std::vector<TableEntry>> tables = tableListForCommand(connection, invocation);
    if (!tables)
        return Ending::Failed;
    QString lines;
    for (const TableEntry& table : *tables) {
        if (invocation.allTables)
            lines += table.name + QLatin1Char('\t') + table.type + QLatin1Char('\n');
        else if (isUserTable(table))
            lines += table.name + QLatin1Char('\n');
    }
    return writeStandardOutput(lines, invocation.database);
}

}  // namespace varnex::cli
