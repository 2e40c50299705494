#include "platform/data/Connection.h"

#include "platform/data/ConnectionString.h"
#include "platform/data/DataErrors.h"
#include "platform/data/DataTypes.h"
#include "platform/data/Recordset.h"
#include "platform/data/TableLoader.h"

#include <optional>

namespace varnex {
namespace {

struct Provider {
    bool jet3 = false;
    bool jet4 = false;
    bool ace = false;
};

std::optional<Provider> ProviderNamed(const QString& name)
{
    const QString key = name.trimmed().toLower();
    if (key == u"microsoft.jet.oledb.3.51")
        return Provider{true, false, false};
    if (key == u"microsoft.jet.oledb.4.0")
        return Provider{true, true, false};
    if (key == u"microsoft.ace.oledb.12.0" || key == u"microsoft.ace.oledb.16.0")
        return Provider{true, true, true};
    return std::nullopt;
}

bool Reads(const Provider& provider, JetFormat format)
{
    switch (format) {
    case JetFormat::Jet3: return provider.jet3;
    case JetFormat::Jet4: return provider.jet4;
    case JetFormat::Ace: return provider.ace;
    }
    return false;
}

// The default workgroup knows one account, Admin, with an empty password.
Status CheckCredentials(const JetHeader& header, const QString& connectionString, const QString& user,
                        const QString& password)
{
    const QString account = user.isEmpty() ? ConnectionStringValue(connectionString, "User ID").value_or("Admin") : user;
    if (account.compare(u"Admin", Qt::CaseInsensitive) != 0)
        return dataerr::badAccount();
    if (header.password.isEmpty())
        return password.isEmpty() ? Status{} : Status{dataerr::badAccount()};
    const QString given = ConnectionStringValue(connectionString, "Jet OLEDB:Database Password").value_or(password);
    return given == header.password ? Status{} : Status{dataerr::badPassword()};
}

}  // namespace

Connection::Connection() = default;
Connection::~Connection() = default;

QString Connection::ConnectionString() const
{
    return connectionString_;
}

void Connection::setConnectionString(const QString& connectionString)
{
    connectionString_ = connectionString;
}

Status Connection::Open(const QString& source, const QString& user, const QString& password, int /*options*/)
{
    if (open_)
        return dataerr::objectOpen();
    const auto provider = ProviderNamed(ConnectionStringValue(connectionString_, "Provider").value_or(QString()));
    if (!provider)
        return dataerr::providerNotFound();
    const QString path = source.isEmpty() ? ConnectionStringValue(connectionString_, "Data Source").value_or(QString())
                                          : source;
    auto header = ReadJetHeader(path);
    if (!header)
        return header.error();
    if (!Reads(*provider, header->format))
        return dataerr::unrecognizedFormat(path);
    if (auto credentials = CheckCredentials(*header, connectionString_, user, password); !credentials)
        return credentials;
    path_ = path;
    header_ = *header;
    open_ = true;
    return {};
}

int Connection::State() const
{
    return open_ ? adStateOpen : adStateClosed;
}

Status Connection::Close()
{
    if (!open_)
        return dataerr::objectClosed();
    open_ = false;
    path_.clear();
    header_ = {};
    return {};
}

Result<std::shared_ptr<Recordset>> Connection::OpenSchema(int schema)
{
    if (!open_)
        return dataerr::connectionClosed();
    if (schema != adSchemaTables)
        return dataerr::unsupportedSchema();
    auto rows = LoadTable(path_, std::nullopt, {});
    if (!rows)
        return rows.error();
    auto recordset = std::make_shared<Recordset>();
    recordset->openOver(std::move(*rows));
    return recordset;
}

}  // namespace varnex
