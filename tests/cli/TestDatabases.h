#pragma once
// Databases the writer makes for the command-line tests.

#include "support/TableBuilders.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace varnex::test {

inline QString WriteDatabase(const QString& path, std::vector<jetwriter::Table> tables,
                             jetwriter::Format format = jetwriter::Format::Jet4,
                             std::optional<std::string> password = std::nullopt)
{
    jetwriter::Database database;
    database.format = format;
    database.password = std::move(password);
    database.tables = std::move(tables);
    jetwriter::writeDatabase(database, path.toStdString());
    return path;
}

// A table of one text column, Name, holding each of the values.
inline jetwriter::Table NameTable(std::string table, const std::vector<std::string>& names)
{
    std::vector<jetwriter::Row> rows;
    for (const std::string& name : names)
        rows.push_back({T(name)});
    return Table(std::move(table), {Column("Name", jetwriter::ColumnType::Text)}, std::move(rows));
}

// count rows of an ID and a line of text.
inline jetwriter::Table ManyRows(std::string table, int64_t count)
{
    auto many = Table(std::move(table),
                      {Column("ID", jetwriter::ColumnType::Long), Column("Line", jetwriter::ColumnType::Text)}, {});
    int64_t next = 0;
    many.rowSource = [next, count](jetwriter::Row& row) mutable {
        if (next == count)
            return false;
        ++next;
        row = {I(next), T("line number " + std::to_string(next))};
        return true;
    };
    return many;
}

}  // namespace varnex::test
