#include "DatabaseOpening.h"

#include "Arguments.h"
#include "Diagnostics.h"
#include "Interruption.h"
#include "PasswordSources.h"
#include "data/Connection.h"
#include "store/JetHeader.h"

namespace varnex::cli {
namespace {

QString providerFor(JetFormat format)
{
    return format == JetFormat::Ace ? QStringLiteral("Microsoft.ACE.OLEDB.12.0")
                                    : QStringLiteral("Microsoft.Jet.OLEDB.4.0");
}

// The reader takes a word starting with a dash for an option of its own.
QString plainPath(const QString& path)
{
    return path.startsWith(QLatin1Char('-')) ? QStringLiteral("./") + path : path;
}

Ending failed(const Invocation& invocation, const QString& cause)
{
    reportFailure(invocation.database, cause);
    return Ending::Failed;
}

// The password of a database that has one: the one given, else the answer to the question on a
// terminal; nothing where neither is.
Ending findPassword(const Invocation& invocation, std::optional<QString>& password)
{
    const Result<std::optional<QString>> given = givenPassword(invocation);
    if (interrupted())
        return Ending::Interrupted;
    if (!given) {
        reportFailure(QString(), given.error().description);
        return Ending::Failed;
    }
    password = given->has_value() ? *given : askForPassword(invocation.database);
    return interrupted() ? Ending::Interrupted : Ending::Completed;
}

}  // namespace

Ending openForCommand(Connection& connection, const Invocation& invocation)
{
    const QString file = plainPath(invocation.database);
    const Result<JetHeader> header = readJetHeader(file);
    if (!header)
        return failed(invocation, header.error().description);
    std::optional<QString> password;
    if (header->needsPassword()) {
        if (const Ending found = findPassword(invocation, password); found != Ending::Completed)
            return found;
    }
    connection.setConnectionString(QStringLiteral("Provider=") + providerFor(header->format));
    const Status opened = connection.open(file, invocation.user, password.value_or(QString()));
    if (opened)
        return Ending::Completed;
    QString cause = opened.error().description;
    if (opened.error().code == ErrorCode::BadPassword && !password)
        cause += QStringLiteral(" The database has a password; give it with --password-file FILE or VARNEX_PASSWORD.");
    return failed(invocation, cause);
}

std::optional<std::vector<TableEntry>> tableListForCommand(Connection& connection, const Invocation& invocation)
{
    std::vector<ReadWarning> warnings;
    Result<std::vector<TableEntry>> tables = readTableList(connection, warnings);
    if (!tables) {
        reportFailure(invocation.database, tables.error().description);
        return std::nullopt;
    }
    if (!reportReadWarnings(invocation.database, warnings, invocation.strict))
        return std::nullopt;
    return std::move(*tables);
}

}  // namespace varnex::cli
