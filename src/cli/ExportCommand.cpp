#include "Arguments.h"
#include "Commands.h"
#include "DatabaseOpening.h"
#include "Interruption.h"
#include "TableExport.h"
#include "data/Connection.h"

namespace varnex::cli {

Ending exportTable(const Invocation& invocation)
{
    catchInterruptions();
    Connection connection;
    if (const Ending opened = openForCommand(connection, invocation); opened != Ending::Completed)
        return opened;
    TableExport job(connection, {invocation.database, invocation.table, invocation.sort, csvOptions(invocation), invocation.strict});
    if (invocation.output.isEmpty() || invocation.output == u"-")
        return job.toStandardOutput();
    return job.toFile(invocation.output);
}

}  // namespace varnex::cli
