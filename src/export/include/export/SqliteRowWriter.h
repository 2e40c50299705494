#pragma once
// Inserts the rows of a read into a SQLite table through one prepared statement, each value bound
// from the value the read decoded (never from its text): integers and Yes/No as integers, Single
// and Double as reals, Currency and Decimal as their exact decimal text ('.' as the separator),
// dates as ISO 8601 text, GUIDs as their text, text as text, binary as blobs, the values of a
// complex column as the joined text the grid shows. A value that cannot be written exactly (a date
// outside years 1 to 9999) goes in as NULL and is counted.

#include "core/Error.h"
#include "store/TableData.h"
#include "export/SqliteDatabase.h"

#include <memory>
#include <string>
#include <vector>

namespace varnex {

class ValueFormatter;

class SqliteRowWriter {
public:
    // table: the table's name; columns: those of the rows, in the table's order.
    static Result<std::unique_ptr<SqliteRowWriter>> prepare(SqliteDatabase& db, const QString& table,
                                                            const std::vector<ColumnInfo>& columns);
    ~SqliteRowWriter();

    // Inserts the rows [first, last). rowids, where given, receives each row's rowid. linkRowids,
    // where given, stands the first column's values (positions of rows among another table's) for
    // those rows' rowids.
    Status insert(const TableData& rows, int64_t first, int64_t last, std::vector<int64_t>* rowids = nullptr,
                  const std::vector<int64_t>* linkRowids = nullptr);

    // Per column, the values left NULL as they cannot be written exactly.
    const std::vector<int64_t>& unwritable() const { return unwritable_; }

private:
    SqliteRowWriter(SqliteDatabase& db, std::unique_ptr<SqliteStatement> single, std::unique_ptr<SqliteStatement> block,
                    int blockRows, size_t columns);
    Status insertSingly(const TableData& rows, int64_t first, int64_t last, std::vector<int64_t>* rowids,
                        const std::vector<int64_t>* linkRowids);
    void bind(sqlite3_stmt* statement, int parameter, const TableData& rows, int64_t row, int column, std::string& text);

    SqliteDatabase& db_;
    std::unique_ptr<SqliteStatement> single_;  // one row
    std::unique_ptr<SqliteStatement> block_;   // blockRows_ rows at once, which runs the statement once for them all
    int blockRows_;
    std::vector<std::string> scratch_;  // per parameter of a block: the text bound, kept until the statement runs
    std::vector<int64_t> unwritable_;
    int64_t inserted_ = 0;  // rows in so far, to name the one that fails
    std::unique_ptr<ValueFormatter> exact_;
    std::shared_ptr<const ValueFormatter> shown_;
};

}  // namespace varnex
