#include "Relationships.h"

#include "store/FieldTypes.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>

namespace varnex::reader {
namespace {

struct Columns {
    int name = -1, flags = -1, count = -1, place = -1, table = -1, column = -1, referencedTable = -1, referencedColumn = -1;
};

int columnNamed(const TableData& rows, const char* name)
{
    for (int c = 0; c < rows.columnCount(); ++c) {
        if (rows.info(c).name.compare(QLatin1StringView(name), Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

std::optional<Columns> findColumns(const TableData& rows)
{
    Columns found{columnNamed(rows, "szRelationship"), columnNamed(rows, "grbit"), columnNamed(rows, "ccolumn"),
                  columnNamed(rows, "icolumn"), columnNamed(rows, "szObject"), columnNamed(rows, "szColumn"),
                  columnNamed(rows, "szReferencedObject"), columnNamed(rows, "szReferencedColumn")};
    for (const int text : {found.name, found.table, found.column, found.referencedTable, found.referencedColumn}) {
        if (text < 0 || rows.info(text).type != FieldType::VarWChar)
            return std::nullopt;
    }
    for (const int number : {found.flags, found.count, found.place}) {
        if (number < 0 || rows.info(number).type != FieldType::Integer)
            return std::nullopt;
    }
    return found;
}

QString textAt(const TableData& rows, int64_t row, int column)
{
    if (rows.isNull(row, column))
        return {};
    const std::string_view bytes = rows.bytesValue(row, column);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

int32_t numberAt(const TableData& rows, int64_t row, int column)
{
    int32_t value = -1;
    if (!rows.isNull(row, column))
        std::memcpy(&value, rows.fixedValue(row, column), sizeof value);
    return value;
}

const SchemaTable* tableNamed(const std::vector<SchemaTable>& tables, const QString& name)
{
    const auto found = std::find_if(tables.begin(), tables.end(), [&](const SchemaTable& t) { return t.name == name; });
    return found == tables.end() ? nullptr : &*found;
}

bool hasColumns(const SchemaTable* table, const QStringList& names)
{
    return table && std::all_of(names.begin(), names.end(), [&](const QString& name) {
        return std::any_of(table->columns.begin(), table->columns.end(), [&](const SchemaColumn& c) { return c.info.name == name; });
    });
}

struct Pair {
    int32_t place;
    QString column, referencedColumn;
};

struct Gathered {
    SchemaRelationship relation;
    int32_t count = 0;
    std::vector<Pair> pairs;
};

// Why a gathered relationship is left out; empty where it is whole.
QString fault(Gathered& gathered, const std::vector<SchemaTable>& tables)
{
    std::sort(gathered.pairs.begin(), gathered.pairs.end(), [](const Pair& a, const Pair& b) { return a.place < b.place; });
    for (size_t i = 0; i < gathered.pairs.size(); ++i) {
        if (gathered.pairs[i].place != static_cast<int32_t>(i) || gathered.count != static_cast<int32_t>(gathered.pairs.size()))
            return QStringLiteral("its rows in MSysRelationships are damaged");
    }
    SchemaRelationship& relation = gathered.relation;
    for (const Pair& pair : gathered.pairs) {
        relation.columns << pair.column;
        relation.referencedColumns << pair.referencedColumn;
    }
    const SchemaTable* from = tableNamed(tables, relation.table);
    const SchemaTable* to = tableNamed(tables, relation.referencedTable);
    if (!from || !to)
        return {};  // between tables that are not listed (system tables): no business of the user's
    if (!hasColumns(from, relation.columns) || !hasColumns(to, relation.referencedColumns))
        return QStringLiteral("it names a column its tables do not have");
    return {};
}

}  // namespace

std::vector<SchemaRelationship> relationshipsFromRows(const TableData& rows, const std::vector<SchemaTable>& tables,
                                                      std::vector<ReadWarning>& warnings)
{
    std::vector<SchemaRelationship> relationships;
    const std::optional<Columns> columns = findColumns(rows);
    if (!columns) {
        warnings.push_back({QString(), QString(), QStringLiteral("MSysRelationships lacks its columns; the relationships are left out")});
        return relationships;
    }
    std::vector<Gathered> gathered;
    std::map<QString, size_t> byName;
    for (int64_t row = 0; row < rows.rowCount(); ++row) {
        const QString name = textAt(rows, row, columns->name);
        auto [at, added] = byName.try_emplace(name, gathered.size());
        if (added) {
            Gathered relation;
            relation.relation = {name, textAt(rows, row, columns->table), {}, textAt(rows, row, columns->referencedTable), {},
                                 static_cast<uint32_t>(numberAt(rows, row, columns->flags))};
            relation.count = numberAt(rows, row, columns->count);
            gathered.push_back(std::move(relation));
        }
        gathered[at->second].pairs.push_back(
            {numberAt(rows, row, columns->place), textAt(rows, row, columns->column), textAt(rows, row, columns->referencedColumn)});
    }
    for (Gathered& relation : gathered) {
        const QString why = fault(relation, tables);
        if (!why.isEmpty())
            warnings.push_back({relation.relation.table, QString(),
                                QStringLiteral("the relationship '%1' is left out: %2").arg(relation.relation.name, why)});
        else if (tableNamed(tables, relation.relation.table) && tableNamed(tables, relation.relation.referencedTable))
            relationships.push_back(std::move(relation.relation));
    }
    return relationships;
}

}  // namespace varnex::reader
