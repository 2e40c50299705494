#pragma once
// Connection to one Access database file in the manner of ADO with the Jet
// provider. Open checks the provider, the file's header page and the password;
// table data is read later, by recordsets, through the reader process.

#include "core/Error.h"
#include "store/JetHeader.h"
#include "data/ReaderProcess.h"

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

    QString connectionString() const;
    void setConnectionString(const QString& connectionString);

    // Errors: ProviderNotFound, DatabaseNotFound, UnrecognizedFormat, BadAccount, BadPassword,
    // UnreadableEncryption (an encrypted .accdb whose encryption cannot be read); ObjectOpen when already open.
    Status open(const QString& source, const QString& user, const QString& password);
    bool isOpen() const { return open_; }
    Status close();  // ObjectClosed when already closed

    // The table schema: one row per table with TABLE_NAME and TABLE_TYPE, by type then name.
    // progress: as for Recordset::open; it cannot cancel the table list (returning false is ignored).
    Result<std::shared_ptr<Recordset>> openTableSchema(const LoadProgress& progress = {});

    // The open database file and its header (valid while open).
    QString databasePath() const { return path_; }
    const JetHeader& header() const { return header_; }
    // The password that decrypts the pages of an encrypted .accdb, for the reader process; empty otherwise.
    const QString& pagePassword() const { return pagePassword_; }

private:
    QString connectionString_;
    QString path_;
    JetHeader header_;
    QString pagePassword_;
    bool open_ = false;
};

}  // namespace varnex
