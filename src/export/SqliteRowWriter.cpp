#include "export/SqliteRowWriter.h"

#include "data/CellValue.h"
#include "data/FieldTypes.h"
#include "data/IsoDateTime.h"
#include "data/ValueFormatter.h"
#include "data/ValueListText.h"
#include "export/SqlSchema.h"

#include <sqlite3.h>

#include <cstring>

namespace varnex {
namespace {

template <class T>
T load(const uint8_t* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

}  // namespace

Result<std::unique_ptr<SqliteRowWriter>> SqliteRowWriter::prepare(SqliteDatabase& db, const QString& table,
                                                                  const std::vector<ColumnInfo>& columns)
{
    QStringList parameters;
    for (size_t c = 0; c < columns.size(); ++c)
        parameters << QStringLiteral("?%1").arg(c + 1);
    auto statement = db.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(quotedName(table), parameters.join(u',')));
    if (!statement)
        return statement.error();
    return std::unique_ptr<SqliteRowWriter>(new SqliteRowWriter(db, std::move(*statement), columns.size()));
}

SqliteRowWriter::SqliteRowWriter(SqliteDatabase& db, std::unique_ptr<SqliteStatement> statement, size_t columns)
    : db_(db), statement_(std::move(statement)), scratch_(columns), unwritable_(columns),
      exact_(std::make_unique<ValueFormatter>(QLocale::c())), shown_(ValueFormatter::forDefaultLocale())
{
}

SqliteRowWriter::~SqliteRowWriter() = default;

Status SqliteRowWriter::insert(const TableData& rows, int64_t first, int64_t last, std::vector<int64_t>* rowids,
                               const std::vector<int64_t>* linkRowids)
{
    sqlite3_stmt* statement = statement_->get();
    for (int64_t row = first; row < last; ++row) {
        for (int c = 0; c < rows.columnCount(); ++c)
            bind(rows, row, c);
        if (linkRowids && !rows.isNull(row, 0)) {
            const auto position = static_cast<size_t>(load<int32_t>(rows.fixedValue(row, 0)));
            if (position < linkRowids->size())
                sqlite3_bind_int64(statement, 1, (*linkRowids)[position]);
        }
        const int stepped = sqlite3_step(statement);
        sqlite3_reset(statement);
        if (stepped != SQLITE_DONE)
            return db_.failure(QStringLiteral("row %1").arg(row + 1));
        if (rowids)
            rowids->push_back(sqlite3_last_insert_rowid(db_.handle()));
    }
    return {};
}

void SqliteRowWriter::bind(const TableData& rows, int64_t row, int column)
{
    sqlite3_stmt* statement = statement_->get();
    const int parameter = column + 1;
    const ColumnInfo& info = rows.info(column);
    if (info.type == fieldtype::Unsupported || rows.isNull(row, column)) {
        sqlite3_bind_null(statement, parameter);
        return;
    }
    std::string& text = scratch_[static_cast<size_t>(column)];
    text.clear();
    const auto bindText = [&] { sqlite3_bind_text(statement, parameter, text.data(), static_cast<int>(text.size()), SQLITE_STATIC); };
    if (isVariableLength(info.type)) {
        const std::string_view bytes = rows.bytesValue(row, column);
        if (info.listOf != 0) {
            appendValueListText(rows, row, column, *shown_, text);
            bindText();
        } else if (info.type == fieldtype::VarWChar || info.type == fieldtype::LongVarWChar) {
            sqlite3_bind_text(statement, parameter, bytes.empty() ? "" : bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
        } else if (bytes.empty()) {
            sqlite3_bind_zeroblob(statement, parameter, 0);
        } else {
            sqlite3_bind_blob64(statement, parameter, bytes.data(), bytes.size(), SQLITE_STATIC);
        }
        return;
    }
    const uint8_t* at = rows.fixedValue(row, column);
    switch (info.type) {
    case fieldtype::Boolean: sqlite3_bind_int(statement, parameter, at[0] != 0 ? 1 : 0); return;
    case fieldtype::UnsignedTinyInt: sqlite3_bind_int(statement, parameter, at[0]); return;
    case fieldtype::SmallInt: sqlite3_bind_int(statement, parameter, load<int16_t>(at)); return;
    case fieldtype::Integer: sqlite3_bind_int(statement, parameter, load<int32_t>(at)); return;
    case fieldtype::BigInt: sqlite3_bind_int64(statement, parameter, load<int64_t>(at)); return;
    case fieldtype::Single: sqlite3_bind_double(statement, parameter, load<float>(at)); return;
    case fieldtype::Double: sqlite3_bind_double(statement, parameter, load<double>(at)); return;
    case fieldtype::Currency: exact_->appendCurrency(load<int64_t>(at), text); break;
    case fieldtype::Numeric: exact_->appendDecimal(storedDecimal(at, info.scale), text); break;
    case fieldtype::GUID: ValueFormatter::appendGuid(load<GuidBytes>(at), text); break;
    case fieldtype::Date:
    case fieldtype::DBTimeStamp: {
        const bool written = info.type == fieldtype::Date ? appendIsoDateTime(load<double>(at), text)
                                                          : appendIsoExtendedDateTime(load<int64_t>(at), text);
        if (!written) {
            ++unwritable_[static_cast<size_t>(column)];
            sqlite3_bind_null(statement, parameter);
            return;
        }
        break;
    }
    default: sqlite3_bind_null(statement, parameter); return;
    }
    bindText();
}

}  // namespace varnex
