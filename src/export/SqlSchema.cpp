#include "export/SqlSchema.h"

#include "store/FieldTypes.h"

#include <algorithm>
#include <set>

namespace varnex {
namespace {

const QString kIndent = QStringLiteral("    ");

// SQL compares names without regard to the case of ASCII letters.
QString nameKey(const QString& name)
{
    QString key = name;
    for (QChar& c : key) {
        if (c.unicode() < 0x80)
            c = c.toLower();
    }
    return key;
}

// Names for the objects SQL names across the database, none meeting another.
class UniqueNames {
public:
    explicit UniqueNames(const DatabaseSchema& schema)
    {
        for (const SchemaTable& table : schema.tables)
            taken_.insert(nameKey(table.name));
    }

    QString take(const QString& wanted)
    {
        QString name = wanted;
        for (int n = 2; !taken_.insert(nameKey(name)).second; ++n)
            name = QStringLiteral("%1 (%2)").arg(wanted).arg(n);
        return name;
    }

private:
    std::set<QString> taken_;
};

QString sqliteType(FieldType type)
{
    switch (type) {
    case FieldType::Boolean: case FieldType::UnsignedTinyInt: case FieldType::SmallInt: case FieldType::Integer:
    case FieldType::BigInt: return QStringLiteral("INTEGER");
    case FieldType::Single: case FieldType::Double: return QStringLiteral("REAL");
    case FieldType::Currency: case FieldType::Numeric: case FieldType::Date: case FieldType::DBTimeStamp: case FieldType::GUID:
    case FieldType::VarWChar: case FieldType::LongVarWChar: return QStringLiteral("TEXT");
    default: return QStringLiteral("BLOB");
    }
}

QString postgreSqlType(const SchemaColumn& column)
{
    const ColumnInfo& info = column.info;
    if (info.isList())
        return QStringLiteral("TEXT");
    switch (info.type) {
    case FieldType::Boolean: return QStringLiteral("BOOLEAN");
    case FieldType::UnsignedTinyInt: case FieldType::SmallInt: return QStringLiteral("SMALLINT");
    case FieldType::Integer: return QStringLiteral("INTEGER");
    case FieldType::BigInt: return QStringLiteral("BIGINT");
    case FieldType::Single: return QStringLiteral("REAL");
    case FieldType::Double: return QStringLiteral("DOUBLE PRECISION");
    case FieldType::Currency: return QStringLiteral("NUMERIC(19,4)");
    case FieldType::Numeric:
        return info.precision == 0 ? QStringLiteral("NUMERIC") : QStringLiteral("NUMERIC(%1,%2)").arg(info.precision).arg(info.scale);
    case FieldType::Date: return QStringLiteral("TIMESTAMP(0)");
    case FieldType::DBTimeStamp: return QStringLiteral("TIMESTAMP(6)");
    case FieldType::GUID: return QStringLiteral("UUID");
    case FieldType::VarWChar: return column.size > 0 ? QStringLiteral("VARCHAR(%1)").arg(column.size) : QStringLiteral("TEXT");
    case FieldType::LongVarWChar: return QStringLiteral("TEXT");
    default: return QStringLiteral("BYTEA");
    }
}

QString columnType(const SchemaColumn& column, SqlDialect dialect)
{
    if (dialect == SqlDialect::PostgreSql)
        return postgreSqlType(column);
    return column.info.isList() ? QStringLiteral("TEXT") : sqliteType(column.info.type);
}

const SchemaIndex* primaryKey(const SchemaTable& table)
{
    const auto found = std::find_if(table.indexes.begin(), table.indexes.end(), [](const SchemaIndex& i) { return i.primary; });
    return found == table.indexes.end() ? nullptr : &*found;
}

int columnIndex(const SchemaTable& table, const QString& name)
{
    for (size_t c = 0; c < table.columns.size(); ++c) {
        if (table.columns[c].info.name == name)
            return static_cast<int>(c);
    }
    return -1;
}

bool inKey(const SchemaIndex* key, const QString& column)
{
    return key && std::any_of(key->keys.begin(), key->keys.end(), [&](const IndexKey& k) { return k.column == column; });
}

QStringList sortedColumns(const QStringList& names)
{
    QStringList sorted = names;
    sorted.sort();
    return sorted;
}

// Whether the columns are those of a unique key of the table, in any order, as a foreign key needs.
bool isUniqueKey(const SchemaTable& table, const QStringList& columns)
{
    return std::any_of(table.indexes.begin(), table.indexes.end(), [&](const SchemaIndex& index) {
        QStringList keyColumns;
        for (const IndexKey& key : index.keys)
            keyColumns << key.column;
        return (index.unique || index.primary) && sortedColumns(keyColumns) == sortedColumns(columns);
    });
}

QString quotedList(const QStringList& names)
{
    QStringList quoted;
    for (const QString& name : names)
        quoted << quotedName(name);
    return quoted.join(QStringLiteral(", "));
}

QString keyList(const std::vector<IndexKey>& keys)
{
    QStringList quoted;
    for (const IndexKey& key : keys)
        quoted << quotedName(key.column) + (key.descending ? QStringLiteral(" DESC") : QString());
    return quoted.join(QStringLiteral(", "));
}

// A name in a comment, which a line break in it must not end.
QString commentName(const QString& name)
{
    QString shown = quotedName(name);
    for (QChar& c : shown) {
        if (c.unicode() < 0x20)
            c = QChar(u' ');
    }
    return shown;
}

QString relationshipText(const SchemaRelationship& relation)
{
    QStringList columns, referred;
    for (const QString& c : relation.columns)
        columns << commentName(c);
    for (const QString& c : relation.referencedColumns)
        referred << commentName(c);
    return QStringLiteral("relationship %1: %2 (%3) refer to %4 (%5)")
        .arg(commentName(relation.name), commentName(relation.table), columns.join(QStringLiteral(", ")),
             commentName(relation.referencedTable), referred.join(QStringLiteral(", ")));
}

QString referentialActions(const SchemaRelationship& relation)
{
    QString actions;
    if (relation.flags & SchemaRelationship::kCascadeUpdates)
        actions += QStringLiteral(" ON UPDATE CASCADE");
    if (relation.flags & SchemaRelationship::kCascadeDeletes)
        actions += QStringLiteral(" ON DELETE CASCADE");
    else if (relation.flags & SchemaRelationship::kCascadeToNull)
        actions += QStringLiteral(" ON DELETE SET NULL");
    return actions;
}

QString foreignKeyClause(const SchemaRelationship& relation)
{
    return QStringLiteral("CONSTRAINT %1 FOREIGN KEY (%2) REFERENCES %3 (%4)%5")
        .arg(quotedName(relation.name), quotedList(relation.columns), quotedName(relation.referencedTable),
             quotedList(relation.referencedColumns), referentialActions(relation));
}

QString columnDefinition(const SchemaColumn& column, bool keyColumn, SqlDialect dialect)
{
    QString definition = quotedName(column.info.name) + u' ' + columnType(column, dialect);
    if (dialect == SqlDialect::PostgreSql && column.autoNumber)
        definition += QStringLiteral(" GENERATED BY DEFAULT AS IDENTITY");
    if (column.required || keyColumn || column.info.type == FieldType::Boolean)
        definition += QStringLiteral(" NOT NULL");
    return definition;
}

// "CREATE TABLE name (\n    item,\n    item\n    -- note\n)"
QString createStatement(const QString& name, const QStringList& items, const QStringList& notes)
{
    QString statement = QStringLiteral("CREATE TABLE %1 (\n").arg(quotedName(name));
    statement += kIndent + items.join(QStringLiteral(",\n") + kIndent) + u'\n';
    for (const QString& note : notes)
        statement += kIndent + QStringLiteral("-- ") + note + u'\n';
    return statement + u')';
}

QString childStatement(const SqlTable& parent, const SqlChildTable& child, SqlDialect dialect)
{
    QString link = QStringLiteral("\"row\" INTEGER NOT NULL");
    if (parent.rowidColumn >= 0)
        link += QStringLiteral(" REFERENCES %1 (%2) ON UPDATE CASCADE ON DELETE CASCADE")
                    .arg(quotedName(parent.table.name), quotedName(parent.table.columns[static_cast<size_t>(parent.rowidColumn)].info.name));
    QStringList items{link};
    for (const SchemaColumn& column : childValueColumns(parent.table.columns[static_cast<size_t>(child.column)]))
        items << columnDefinition(column, false, dialect);
    return createStatement(child.name, items, {});
}

void planRelationships(std::vector<SqlTable>& tables, const DatabaseSchema& schema)
{
    for (const SchemaRelationship& relation : schema.relationships) {
        const auto referring = std::find_if(tables.begin(), tables.end(), [&](const SqlTable& t) { return t.table.name == relation.table; });
        const auto referred = std::find_if(tables.begin(), tables.end(), [&](const SqlTable& t) { return t.table.name == relation.referencedTable; });
        if (referring == tables.end() || referred == tables.end())
            continue;
        if (!relation.enforced())
            referring->notes << relationshipText(relation) + QStringLiteral("; not declared: Access does not enforce it");
        else if (!isUniqueKey(referred->table, relation.referencedColumns))
            referring->notes << relationshipText(relation) + QStringLiteral("; not declared: the columns referred to are no unique key");
        else
            referring->foreignKeys.push_back(relation);
    }
}

}  // namespace

QString quotedName(const QString& name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

std::vector<SchemaColumn> childValueColumns(const SchemaColumn& complex)
{
    const auto column = [](const char* name, FieldType type) {
        return SchemaColumn{{QLatin1StringView(name), type, 0, 0, FieldType::Unsupported, 0}, 0, false, false, ValuesKind::None};
    };
    if (complex.values == ValuesKind::Attachments)
        return {column("FileName", FieldType::VarWChar), column("FileType", FieldType::VarWChar),
                column("FileData", FieldType::LongVarBinary), column("FileTimeStamp", FieldType::Date)};
    SchemaColumn value = column("Value", complex.info.listOf);
    value.info.precision = complex.info.precision;
    value.info.scale = complex.info.scale;
    return {value};
}

std::vector<SqlTable> planSqlTables(const DatabaseSchema& schema)
{
    UniqueNames names(schema);
    std::vector<SqlTable> tables;
    for (const SchemaTable& table : schema.tables) {
        SqlTable planned;
        planned.table = table;
        const SchemaIndex* key = primaryKey(table);
        if (key && key->keys.size() == 1 && !key->keys.front().descending) {
            const int column = columnIndex(table, key->keys.front().column);
            if (column >= 0 && columnType(table.columns[static_cast<size_t>(column)], SqlDialect::Sqlite) == u"INTEGER" &&
                !table.columns[static_cast<size_t>(column)].info.isList())
                planned.rowidColumn = column;
        }
        for (size_t c = 0; c < table.columns.size(); ++c) {
            if (table.columns[c].values != ValuesKind::None)
                planned.children.push_back({names.take(table.name + u'.' + table.columns[c].info.name), static_cast<int>(c),
                                            table.columns[c].values});
        }
        for (const SchemaIndex& index : table.indexes) {
            if (&index != key)
                planned.indexes.push_back({names.take(table.name + u'.' + index.name), index});
        }
        tables.push_back(std::move(planned));
    }
    planRelationships(tables, schema);
    return tables;
}

DatabaseSchema selectTables(const DatabaseSchema& schema, const QStringList& names, QStringList& missing)
{
    if (names.isEmpty())
        return schema;
    // A name as given, else one that differs only in letter case, as a table's read finds it.
    const auto named = [&](const QString& name) {
        const auto exact = std::find_if(schema.tables.begin(), schema.tables.end(), [&](const SchemaTable& t) { return t.name == name; });
        return exact != schema.tables.end() ? exact : std::find_if(schema.tables.begin(), schema.tables.end(), [&](const SchemaTable& t) {
            return t.name.compare(name, Qt::CaseInsensitive) == 0;
        });
    };
    DatabaseSchema selected;
    QStringList chosen;
    for (const QString& name : names) {
        const auto found = named(name);
        if (found == schema.tables.end())
            missing << name;
        else if (!chosen.contains(found->name)) {
            chosen << found->name;
            selected.tables.push_back(*found);
        }
    }
    for (const SchemaRelationship& relation : schema.relationships) {
        if (chosen.contains(relation.table) && chosen.contains(relation.referencedTable))
            selected.relationships.push_back(relation);
    }
    return selected;
}

QStringList sqlCreateTable(const SqlTable& table, SqlDialect dialect)
{
    const SchemaIndex* key = primaryKey(table.table);
    QStringList items;
    for (const SchemaColumn& column : table.table.columns)
        items << columnDefinition(column, inKey(key, column.info.name), dialect);
    if (key)
        items << QStringLiteral("PRIMARY KEY (%1)").arg(keyList(key->keys));
    if (dialect == SqlDialect::Sqlite) {
        for (const SchemaRelationship& relation : table.foreignKeys)
            items << foreignKeyClause(relation);
    }
    QStringList statements{createStatement(table.table.name, items, table.notes)};
    for (const SqlChildTable& child : table.children)
        statements << childStatement(table, child, dialect);
    return statements;
}

QStringList sqlCreateIndexes(const SqlTable& table)
{
    QStringList statements;
    for (const SqlIndex& index : table.indexes)
        statements << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                          .arg(index.index.unique ? QStringLiteral("UNIQUE ") : QString(), quotedName(index.name),
                               quotedName(table.table.name), keyList(index.index.keys));
    return statements;
}

QString sqlSchemaText(const std::vector<SqlTable>& tables, SqlDialect dialect)
{
    QStringList statements;
    for (const SqlTable& table : tables) {
        if (!table.table.columns.empty())  // a table whose definition could not be read has none
            statements << sqlCreateTable(table, dialect) << sqlCreateIndexes(table);
    }
    // PostgreSQL checks a foreign key's table when it is declared, so they follow every table.
    for (const SqlTable& table : tables) {
        for (const SchemaRelationship& relation : dialect == SqlDialect::PostgreSql ? table.foreignKeys : std::vector<SchemaRelationship>())
            statements << QStringLiteral("ALTER TABLE %1 ADD %2").arg(quotedName(table.table.name), foreignKeyClause(relation));
    }
    QString text;
    for (const QString& statement : statements)
        text += statement + QStringLiteral(";\n\n");
    return text;
}

}  // namespace varnex
