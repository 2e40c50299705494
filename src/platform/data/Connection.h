#pragma once
// Connection to one Access database file in the manner of ADO with the Jet
// provider. Open checks the provider, the file's header page and the password;
// table data is read later, by recordsets, through the reader process.

#include "platform/Error.h"
#include "platform/data/JetHeader.h"

#include <QString>

#include <memory>

namespace varnex {

class Recordset;

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QString ConnectionString() const;
    void setConnectionString(const QString& connectionString);

    // Errors: 3706 unknown provider; "Could not find file '<path>'."; "Unrecognized database format '<path>'.";
    // "Not a valid account name or password."; "Not a valid password."; 3705 when already open.
    Status Open(const QString& source, const QString& user, const QString& password, int options);
    int State() const;  // adStateClosed (0) / adStateOpen (1)
    Status Close();     // 3704 when already closed

    // Schema 20: one row per table with TABLE_NAME and TABLE_TYPE, by type then name.
    Result<std::shared_ptr<Recordset>> OpenSchema(int schema);

    // The open database file and its header (valid while open).
    QString databasePath() const { return path_; }
    const JetHeader& header() const { return header_; }

private:
    QString connectionString_;
    QString path_;
    JetHeader header_;
    bool open_ = false;
};

}  // namespace varnex
