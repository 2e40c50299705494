#pragma once
// A SQLite database through libsqlite3: statements run whole, or prepared once and run per row.

#include "core/Error.h"

#include <QByteArray>
#include <QString>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace varnex {

class SqliteStatement {
public:
    explicit SqliteStatement(sqlite3_stmt* statement) : statement_(statement) {}
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    sqlite3_stmt* get() const { return statement_; }

private:
    sqlite3_stmt* statement_;
};

class SqliteDatabase {
public:
    // Opens (creating) the file of that name, its bytes as given; errors describe themselves.
    static Result<std::unique_ptr<SqliteDatabase>> open(const QByteArray& file);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Runs one or more statements; a failure names what was done and SQLite's message.
    Status execute(const QString& sql);
    Result<std::unique_ptr<SqliteStatement>> prepare(const QString& sql);
    // The failure of the last call, as "doing: SQLite's message".
    Error failure(const QString& doing) const;
    sqlite3* handle() const { return db_; }

private:
    explicit SqliteDatabase(sqlite3* db) : db_(db) {}

    sqlite3* db_;
};

}  // namespace varnex
