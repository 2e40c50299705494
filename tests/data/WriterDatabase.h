#pragma once
// Databases written by the project's writer for the data-access tests, and a
// connection opened on them.

#include "data/Connection.h"
#include "data/Recordset.h"
#include "jetwriter/JetWriter.h"
#include "support/TempDir.h"

#include <QString>

#include <memory>

namespace varnex::test {

inline QString ProviderFor(jetwriter::Format format)
{
    return format == jetwriter::Format::Jet3 ? QStringLiteral("Provider=Microsoft.Jet.OLEDB.3.51")
                                             : QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0");
}

inline QString WriteDatabase(const TempDir& dir, const jetwriter::Database& database, const QString& name = "db.mdb")
{
    const QString path = dir.file(name);
    jetwriter::writeDatabase(database, path.toStdString());
    return path;
}

// An open connection on a new database holding the given tables.
class OpenDatabase {
public:
    OpenDatabase(jetwriter::Format format, std::vector<jetwriter::Table> tables)
    {
        jetwriter::Database database;
        database.format = format;
        database.tables = std::move(tables);
        path_ = WriteDatabase(dir_, database);
        connection_.setConnectionString(ProviderFor(format));
        status_ = connection_.open(path_, "Admin", "");
    }

    Status status() const { return status_; }
    Connection& connection() { return connection_; }
    const QString& path() const { return path_; }

    // The table read as the browser reads it, client-side.
    std::shared_ptr<Recordset> load(const QString& table, Status* status = nullptr)
    {
        auto rs = std::make_shared<Recordset>();
        const Status opened = rs->open(table, &connection_);
        if (status)
            *status = opened;
        if (!opened.ok())
            return nullptr;
        return rs;
    }

private:
    TempDir dir_;
    QString path_;
    Connection connection_;
    Status status_;
};

}  // namespace varnex::test
