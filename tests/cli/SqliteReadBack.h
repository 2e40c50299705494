#pragma once
// A SQLite database read back through libsqlite3, for tests of what the program writes.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

struct sqlite3;

namespace varnex::test {

struct SqlValue {
    int type = 5;  // SQLITE_INTEGER 1, SQLITE_FLOAT 2, SQLITE_TEXT 3, SQLITE_BLOB 4, SQLITE_NULL 5
    int64_t integer = 0;
    double real = 0;
    QByteArray bytes;  // text (UTF-8) or blob
};
using SqlRow = std::vector<SqlValue>;

class SqliteReadBack {
public:
    explicit SqliteReadBack(const QString& path);
    ~SqliteReadBack();
    SqliteReadBack(const SqliteReadBack&) = delete;
    SqliteReadBack& operator=(const SqliteReadBack&) = delete;

    bool isOpen() const { return db_ != nullptr; }
    // Every row the statements give (the last statement's); a failure fails the test.
    std::vector<SqlRow> rows(const QString& sql) const;
    // The first column of every row, as text.
    QStringList texts(const QString& sql) const;

private:
    sqlite3* db_ = nullptr;
};

}  // namespace varnex::test
