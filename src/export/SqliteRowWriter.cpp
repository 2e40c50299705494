#include "export/SqliteRowWriter.h"

#include "data/CellValue.h"
#include "store/FieldTypes.h"
#include "data/IsoDateTime.h"
#include "data/ValueFormatter.h"
#include "data/ValueListText.h"
#include "export/SqlSchema.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace varnex {
namespace {

// Rows a statement inserts at once: running a statement costs about as much as inserting a row, so
// blocks of rows go in as one; a statement has at most 32766 parameters.
constexpr int kBlockRows = 64;
constexpr int kMostParameters = 32766;

template <class T>
T load(const uint8_t* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// "INSERT INTO name VALUES (?,?),(?,?)": rows of columns each.
QString insertStatement(const QString& table, size_t columns, int rows)
{
    const QString row = u'(' + QStringList(static_cast<qsizetype>(columns), QStringLiteral("?")).join(u',') + u')';
    return QStringLiteral("INSERT INTO %1 VALUES %2").arg(quotedName(table), QStringList(rows, row).join(u','));
}

}  // namespace

Result<std::unique_ptr<SqliteRowWriter>> SqliteRowWriter::prepare(SqliteDatabase& db, const QString& table,
                                                                  const std::vector<ColumnInfo>& columns)
{
    const int blockRows = std::max(1, std::min(kBlockRows, kMostParameters / std::max<int>(1, static_cast<int>(columns.size()))));
    auto single = db.prepare(insertStatement(table, columns.size(), 1));
    if (!single)
        return single.error();
    auto block = db.prepare(insertStatement(table, columns.size(), blockRows));
    if (!block)
        return block.error();
    return std::unique_ptr<SqliteRowWriter>(new SqliteRowWriter(db, std::move(*single), std::move(*block), blockRows, columns.size()));
}

SqliteRowWriter::SqliteRowWriter(SqliteDatabase& db, std::unique_ptr<SqliteStatement> single, std::unique_ptr<SqliteStatement> block,
                                 int blockRows, size_t columns)
    : db_(db), single_(std::move(single)), block_(std::move(block)), blockRows_(blockRows),
      scratch_(columns * static_cast<size_t>(blockRows)), unwritable_(columns),
      exact_(std::make_unique<ValueFormatter>(QLocale::c())), shown_(ValueFormatter::forDefaultLocale())
{
}

SqliteRowWriter::~SqliteRowWriter() = default;

Status SqliteRowWriter::insert(const TableData& rows, int64_t first, int64_t last, std::vector<int64_t>* rowids,
                               const std::vector<int64_t>* linkRowids)
{
    // Rows whose rowids are wanted, or whose links are looked up, go in one by one.
    if (rowids || linkRowids)
        return insertSingly(rows, first, last, rowids, linkRowids);
    sqlite3_stmt* statement = block_->get();
    const int columns = rows.columnCount();
    int64_t row = first;
    for (; last - row >= blockRows_; row += blockRows_) {
        const std::vector<int64_t> counted = unwritable_;
        for (int r = 0; r < blockRows_; ++r) {
            for (int c = 0; c < columns; ++c) {
                const int parameter = r * columns + c;
                bind(statement, parameter + 1, rows, row + r, c, scratch_[static_cast<size_t>(parameter)]);
            }
        }
        const int stepped = sqlite3_step(statement);
        sqlite3_reset(statement);
        if (stepped != SQLITE_DONE) {
            // The statement is undone whole; one row at a time finds the row that fails.
            unwritable_ = counted;
            return insertSingly(rows, row, last, nullptr, nullptr);
        }
        inserted_ += blockRows_;
    }
    return insertSingly(rows, row, last, nullptr, nullptr);
}

Status SqliteRowWriter::insertSingly(const TableData& rows, int64_t first, int64_t last, std::vector<int64_t>* rowids,
                                     const std::vector<int64_t>* linkRowids)
{
    sqlite3_stmt* statement = single_->get();
    for (int64_t row = first; row < last; ++row) {
        for (int c = 0; c < rows.columnCount(); ++c)
            bind(statement, c + 1, rows, row, c, scratch_[static_cast<size_t>(c)]);
        if (linkRowids && !rows.isNull(row, 0)) {
            const auto position = static_cast<size_t>(rows.integerValue(row, 0));
            if (position < linkRowids->size())
                sqlite3_bind_int64(statement, 1, (*linkRowids)[position]);
        }
        const int stepped = sqlite3_step(statement);
        sqlite3_reset(statement);
        if (stepped != SQLITE_DONE)
            return db_.failure(QStringLiteral("row %1").arg(inserted_ + 1));
        ++inserted_;
        if (rowids)
            rowids->push_back(sqlite3_last_insert_rowid(db_.handle()));
    }
    return {};
}

void SqliteRowWriter::bind(sqlite3_stmt* statement, int parameter, const TableData& rows, int64_t row, int column, std::string& text)
{
    const ColumnInfo& info = rows.info(column);
    if (info.type == FieldType::Unsupported || rows.isNull(row, column)) {
        sqlite3_bind_null(statement, parameter);
        return;
    }
    text.clear();
    const auto bindText = [&] { sqlite3_bind_text(statement, parameter, text.data(), static_cast<int>(text.size()), SQLITE_STATIC); };
    if (isVariableLength(info.type)) {
        const std::string_view bytes = rows.bytesValue(row, column);
        if (info.isList()) {
            appendValueListText(rows, row, column, *shown_, text);
            bindText();
        } else if (info.type == FieldType::VarWChar || info.type == FieldType::LongVarWChar) {
            sqlite3_bind_text(statement, parameter, bytes.empty() ? "" : bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
        } else if (bytes.empty()) {
            sqlite3_bind_zeroblob(statement, parameter, 0);
        } else {
            sqlite3_bind_blob64(statement, parameter, bytes.data(), bytes.size(), SQLITE_STATIC);
        }
        return;
    }
    // Dates and Long Integers are had from the table, which may keep them compact.
    const bool fixed = info.type != FieldType::Date && info.type != FieldType::Integer;
    const uint8_t* at = fixed ? rows.fixedValue(row, column) : nullptr;
    switch (info.type) {
    case FieldType::Boolean: sqlite3_bind_int(statement, parameter, at[0] != 0 ? 1 : 0); return;
    case FieldType::UnsignedTinyInt: sqlite3_bind_int(statement, parameter, at[0]); return;
    case FieldType::SmallInt: sqlite3_bind_int(statement, parameter, load<int16_t>(at)); return;
    case FieldType::Integer: sqlite3_bind_int(statement, parameter, rows.integerValue(row, column)); return;
    case FieldType::BigInt: sqlite3_bind_int64(statement, parameter, load<int64_t>(at)); return;
    case FieldType::Single: sqlite3_bind_double(statement, parameter, load<float>(at)); return;
    case FieldType::Double: sqlite3_bind_double(statement, parameter, load<double>(at)); return;
    case FieldType::Currency: exact_->appendCurrency(load<int64_t>(at), text); break;
    case FieldType::Numeric: exact_->appendDecimal(storedDecimal(at, info.scale), text); break;
    case FieldType::GUID: ValueFormatter::appendGuid(load<GuidBytes>(at), text); break;
    case FieldType::Date:
    case FieldType::DBTimeStamp: {
        const bool written = info.type == FieldType::Date ? appendIsoDateTime(rows.dateValue(row, column), text)
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
