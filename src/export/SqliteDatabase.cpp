#include "export/SqliteDatabase.h"

#include <sqlite3.h>

namespace varnex {

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(statement_);
}

Result<std::unique_ptr<SqliteDatabase>> SqliteDatabase::open(const QByteArray& file)
{
    sqlite3* db = nullptr;
    const int status = sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (status != SQLITE_OK) {
        const QString message = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(status));
        sqlite3_close(db);
        return Error{ErrorCode::CannotOpenFile, QStringLiteral("Could not open the SQLite database: %1").arg(message)};
    }
    sqlite3_extended_result_codes(db, 1);
    return std::unique_ptr<SqliteDatabase>(new SqliteDatabase(db));
}

SqliteDatabase::~SqliteDatabase()
{
    sqlite3_close_v2(db_);
}

Status SqliteDatabase::execute(const QString& sql)
{
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return failure(sql.section(u'\n', 0, 0));
    return {};
}

Result<std::unique_ptr<SqliteStatement>> SqliteDatabase::prepare(const QString& sql)
{
    sqlite3_stmt* statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v3(db_, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK)
        return failure(sql.section(u'\n', 0, 0));
    return std::make_unique<SqliteStatement>(statement);
}

Error SqliteDatabase::failure(const QString& doing) const
{
    const int code = sqlite3_errcode(db_);
    const ErrorCode kind = (code & 0xFF) == SQLITE_FULL ? ErrorCode::DiskFull : ErrorCode::DeviceIoError;
    return Error{kind, QStringLiteral("%1: %2").arg(doing, QString::fromUtf8(sqlite3_errmsg(db_)))};
}

}  // namespace varnex
