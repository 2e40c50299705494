#include "data/Connection.h"

#include "core/Error.h"
#include "data/ConnectionString.h"
#include "store/FieldTypes.h"
#include "store/PageDecoder.h"
#include "data/ReaderProcess.h"
#include "data/Recordset.h"

#include <optional>

namespace varnex {
namespace {

struct Provider {
    bool jet3 = false;
    bool jet4 = false;
    bool ace = false;
};

std::optional<Provider> providerNamed(const QString& name)
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

bool reads(const Provider& provider, JetFormat format)
{
    switch (format) {
    case JetFormat::Jet3: return provider.jet3;
    case JetFormat::Jet4: return provider.jet4;
    case JetFormat::Ace: return provider.ace;
    }
    return false;
}

bool hasEncryptedPages(const JetHeader& header)
{
    return header.format == JetFormat::Ace && header.pagesEncoded();
}

// The default workgroup knows one account, Admin, with an empty password. An ACE file with encrypted
// pages checks the database password against its encryption header (bounded work: the header's hash
// rounds are capped). Returns the database password that was given.
Result<QString> checkCredentials(const JetHeader& header, const QString& connectionString, const QString& user,
                                 const QString& password, const QString& path)
{
    const QString account = user.isEmpty() ? connectionStringValue(connectionString, "User ID").value_or("Admin") : user;
    if (account.compare(u"Admin", Qt::CaseInsensitive) != 0)
        return makeError(ErrorCode::BadAccount);
    const QString given = connectionStringValue(connectionString, "Jet OLEDB:Database Password").value_or(password);
    if (hasEncryptedPages(header)) {
        if (auto unlocked = PageDecoder::open(header, given, path); !unlocked)
            return unlocked.error();
        return given;
    }
    if (header.password.isEmpty())
        return password.isEmpty() ? Result<QString>(QString()) : Result<QString>(makeError(ErrorCode::BadAccount));
    return given == header.password ? Result<QString>(given) : Result<QString>(makeError(ErrorCode::BadPassword));
}

}  // namespace

Connection::Connection() = default;
Connection::~Connection() = default;

QString Connection::connectionString() const
{
    return connectionString_;
}

void Connection::setConnectionString(const QString& connectionString)
{
    connectionString_ = connectionString;
}

Status Connection::open(const QString& source, const QString& user, const QString& password)
{
    if (open_)
        return makeError(ErrorCode::ObjectOpen);
    const auto provider = providerNamed(connectionStringValue(connectionString_, "Provider").value_or(QString()));
    if (!provider)
        return makeError(ErrorCode::ProviderNotFound);
    const QString path = source.isEmpty() ? connectionStringValue(connectionString_, "Data Source").value_or(QString())
                                          : source;
    auto header = readJetHeader(path);
    if (!header)
        return header.error();
    if (!reads(*provider, header->format))
        return makeError(ErrorCode::UnrecognizedFormat, path);
    auto credentials = checkCredentials(*header, connectionString_, user, password, path);
    if (!credentials)
        return credentials.error();
    path_ = path;
    header_ = *header;
    pagePassword_ = hasEncryptedPages(*header) ? *credentials : QString();
    open_ = true;
    return {};
}

Status Connection::close()
{
    if (!open_)
        return makeError(ErrorCode::ObjectClosed);
    open_ = false;
    path_.clear();
    header_ = {};
    pagePassword_.clear();
    return {};
}

Result<std::shared_ptr<Recordset>> Connection::openTableSchema(const LoadProgress& progress)
{
    if (!open_)
        return makeError(ErrorCode::ConnectionUnusable);
    const LoadProgress keepGoing = [&progress](int64_t rowsRead, int64_t rowCount) {
        if (progress)
            (void)progress(rowsRead, rowCount);
        return true;
    };
    std::vector<ReadWarning> warnings;
    auto rows = readWithReaderProcess(path_, std::nullopt, keepGoing, pagePassword_, {}, warnings);
    if (!rows)
        return rows.error();
    auto recordset = std::make_shared<Recordset>();
    recordset->openOver(std::move(*rows), std::move(warnings));
    return recordset;
}

}  // namespace varnex
