#include "SqliteReadBack.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace varnex::test {

SqliteReadBack::SqliteReadBack(const QString& path)
{
    if (sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << path.toStdString() << ": " << sqlite3_errmsg(db_);
        sqlite3_close(db_);
        db_ = nullptr;
    }
}

SqliteReadBack::~SqliteReadBack()
{
    sqlite3_close(db_);
}

std::vector<SqlRow> SqliteReadBack::rows(const QString& sql) const
{
    std::vector<SqlRow> rows;
    if (!db_)
        return rows;
    QByteArray text = sql.toUtf8();
    const char* next = text.constData();
    while (next && *next) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, next, -1, &statement, &next) != SQLITE_OK) {
            ADD_FAILURE() << sql.toStdString() << ": " << sqlite3_errmsg(db_);
            return rows;
        }
        if (!statement)
            break;  // only blanks left
        rows.clear();
        int stepped = SQLITE_ROW;
        while ((stepped = sqlite3_step(statement)) == SQLITE_ROW) {
            SqlRow row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                SqlValue value;
                value.type = sqlite3_column_type(statement, c);
                value.integer = sqlite3_column_int64(statement, c);
                value.real = sqlite3_column_double(statement, c);
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, c));
                value.bytes = QByteArray(bytes, sqlite3_column_bytes(statement, c));
                row.push_back(value);
            }
            rows.push_back(std::move(row));
        }
        if (stepped != SQLITE_DONE)
            ADD_FAILURE() << sql.toStdString() << ": " << sqlite3_errmsg(db_);
        sqlite3_finalize(statement);
    }
    return rows;
}

QStringList SqliteReadBack::texts(const QString& sql) const
{
    QStringList texts;
    for (const SqlRow& row : rows(sql))
        texts << (row.empty() ? QString() : QString::fromUtf8(row.front().bytes));
    return texts;
}

}  // namespace varnex::test
