#include "DatabaseOpening.h"

#include "Arguments.h"
#include "Diagnostics.h"
#include "data/Connection.h"
#include "data/JetHeader.h"

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

}  // namespace

Status openDatabase(Connection& connection, const QString& path, const QString& user,
                    const std::optional<QString>& password)
{
    const QString file = plainPath(path);
    const Result<JetHeader> header = readJetHeader(file);
    if (!header)
        return header.error();
    connection.setConnectionString(QStringLiteral("Provider=") + providerFor(header->format));
    Status opened = connection.open(file, user, password.value_or(QString()));
    if (!opened && opened.error().code == ErrorCode::BadPassword && !password) {
        Error hinted = opened.error();
        hinted.description += QStringLiteral(" The database has a password; give it with --password.");
        return hinted;
    }
    return opened;
}

bool openForCommand(Connection& connection, const Invocation& invocation)
{
    const Status opened = openDatabase(connection, invocation.database, invocation.user, invocation.password);
    if (!opened)
        reportFailure(invocation.database, opened.error().description);
    return opened.ok();
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
