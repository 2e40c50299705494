#pragma once
// A database's schema laid out as SQL tables, and written as SQL text for SQLite or PostgreSQL.
//
// Each table keeps its name and its columns in their order, each of the type that holds its values
// exactly (SQLite: integers and Yes/No INTEGER, Single and Double REAL, Currency and Decimal TEXT
// holding the exact decimal, dates TEXT in ISO 8601, text TEXT, binary BLOB), NOT NULL where Access
// requires a value (Required, the primary key, Yes/No), its primary key, and a FOREIGN KEY for each
// relationship Access enforces whose referred columns are a unique key of a converted table. The
// values of an attachment or multi-value column go to a table of their own, "<table>.<column>", one
// row each, linked to their row by "row": its rowid, which is its single INTEGER primary key where it
// has one. The other indexes are named "<table>.<index>", as SQL names indexes across the database;
// Access's names hold no dot, so none of these meets a table's name (one that would gets " (2)").

#include "store/DatabaseSchema.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace varnex {

enum class SqlDialect { Sqlite, PostgreSql };

struct SqlChildTable {
    QString name;
    int column = 0;  // the complex column among the table's columns
    ValuesKind kind = ValuesKind::None;
};

struct SqlIndex {
    QString name;  // unique across the database
    SchemaIndex index;
};

struct SqlTable {
    SchemaTable table;
    int rowidColumn = -1;  // its single INTEGER primary key column, the row's rowid; -1: none
    std::vector<SqlChildTable> children;
    std::vector<SqlIndex> indexes;  // all but the primary key
    std::vector<SchemaRelationship> foreignKeys;
    QStringList notes;  // relationships not declared, and why
};

// The tables of the schema as SQL lays them out, in the schema's order.
std::vector<SqlTable> planSqlTables(const DatabaseSchema& schema);

// The schema's tables of those names (all where names is empty) and the relationships among them;
// names the schema does not have go to missing.
DatabaseSchema selectTables(const DatabaseSchema& schema, const QStringList& names, QStringList& missing);

// "name" with each double quote doubled.
QString quotedName(const QString& name);

// The statements that make a table: the table, then the tables of its complex columns' values.
QStringList sqlCreateTable(const SqlTable& table, SqlDialect dialect);
// Its other indexes, made once its rows are in.
QStringList sqlCreateIndexes(const SqlTable& table);
// The whole schema as text: each statement followed by ";" and a blank line; a table without columns
// (whose definition could not be read) is left out.
QString sqlSchemaText(const std::vector<SqlTable>& tables, SqlDialect dialect);

// The columns of a child table after "row", as a read of its values delivers them (see
// data/DatabaseReads.h); the value's type is that of the complex column's listed values.
std::vector<SchemaColumn> childValueColumns(const SchemaColumn& complex);

}  // namespace varnex
