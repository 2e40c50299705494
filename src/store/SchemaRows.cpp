#include "store/SchemaRows.h"

#include "store/FieldTypes.h"
#include "store/ReaderProtocol.h"

#include <cstring>

namespace varnex {
namespace {

enum Kind : int16_t { kTable = 1, kColumn, kIndex, kIndexKey, kRelationship, kRelationshipColumns };
enum Field : int { kKind, kTableName, kName, kColumnName, kOther, kOtherColumn, kType, kPrecision, kScale, kListOf,
                   kStoredType, kSize, kFlags, kFieldCount };

constexpr int32_t kRequired = 1, kAutoNumber = 2, kAttachments = 4, kMultipleValues = 8;
constexpr int32_t kPrimary = 1, kUnique = 2;
constexpr int32_t kDescending = 1;

// One fact: its kind, its texts and its numbers, each field set or left empty.
struct Fact {
    explicit Fact(int16_t of = 0) : kind(of) {}

    int16_t kind;
    QString texts[kType - kTableName];
    int32_t numbers[kFieldCount - kType] = {};

    QString& text(Field field) { return texts[field - kTableName]; }
    int32_t& number(Field field) { return numbers[field - kType]; }
};

bool append(const Fact& fact, TableData& rows)
{
    if (!rows.putFixed(kKind, &fact.kind))
        return false;
    for (int f = kTableName; f < kType; ++f) {
        const QByteArray utf8 = fact.texts[f - kTableName].toUtf8();
        if (!rows.putBytes(f, utf8.constData(), static_cast<size_t>(utf8.size())))
            return false;
    }
    for (int f = kType; f < kFieldCount; ++f) {
        if (!rows.putFixed(f, &fact.numbers[f - kType]))
            return false;
    }
    rows.endRow();
    return true;
}

Fact read(const TableData& rows, int64_t row)
{
    Fact fact;
    rows.copyFixedValue(row, kKind, &fact.kind);
    for (int f = kTableName; f < kType; ++f) {
        const std::string_view bytes = rows.bytesValue(row, f);
        fact.texts[f - kTableName] = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    for (int f = kType; f < kFieldCount; ++f)
        rows.copyFixedValue(row, f, &fact.numbers[f - kType]);
    return fact;
}

Fact columnFact(const SchemaColumn& column)
{
    Fact fact(kColumn);
    fact.text(kName) = column.info.name;
    fact.number(kType) = reader::wireCode(column.info.type);
    fact.number(kPrecision) = column.info.precision;
    fact.number(kScale) = column.info.scale;
    fact.number(kListOf) = reader::wireCode(column.info.listOf);
    fact.number(kStoredType) = column.info.storedType;
    fact.number(kSize) = static_cast<int32_t>(column.size);
    fact.number(kFlags) = (column.required ? kRequired : 0) | (column.autoNumber ? kAutoNumber : 0) |
                          (column.values == ValuesKind::Attachments ? kAttachments : 0) |
                          (column.values == ValuesKind::MultipleValues ? kMultipleValues : 0);
    return fact;
}

SchemaColumn columnOf(Fact& fact)
{
    SchemaColumn column;
    column.info = {fact.text(kName), reader::fieldTypeOfWire(fact.number(kType)), static_cast<uint8_t>(fact.number(kPrecision)),
                   static_cast<uint8_t>(fact.number(kScale)), reader::fieldTypeOfWire(fact.number(kListOf)),
                   static_cast<uint8_t>(fact.number(kStoredType))};
    column.size = static_cast<uint32_t>(fact.number(kSize));
    const int32_t flags = fact.number(kFlags);
    column.required = (flags & kRequired) != 0;
    column.autoNumber = (flags & kAutoNumber) != 0;
    column.values = (flags & kAttachments) ? ValuesKind::Attachments
                    : (flags & kMultipleValues) ? ValuesKind::MultipleValues
                                                : ValuesKind::None;
    return column;
}

bool appendTable(const SchemaTable& table, TableData& rows)
{
    Fact named(kTable);
    named.text(kName) = table.name;
    if (!append(named, rows))
        return false;
    for (const SchemaColumn& column : table.columns) {
        if (!append(columnFact(column), rows))
            return false;
    }
    for (const SchemaIndex& index : table.indexes) {
        Fact fact(kIndex);
        fact.text(kName) = index.name;
        fact.number(kFlags) = (index.primary ? kPrimary : 0) | (index.unique ? kUnique : 0);
        if (!append(fact, rows))
            return false;
        for (const IndexKey& key : index.keys) {
            Fact keyFact(kIndexKey);
            keyFact.text(kColumnName) = key.column;
            keyFact.number(kFlags) = key.descending ? kDescending : 0;
            if (!append(keyFact, rows))
                return false;
        }
    }
    return true;
}

bool appendRelationship(const SchemaRelationship& relation, TableData& rows)
{
    Fact fact(kRelationship);
    fact.text(kName) = relation.name;
    fact.text(kTableName) = relation.table;
    fact.text(kOther) = relation.referencedTable;
    fact.number(kFlags) = static_cast<int32_t>(relation.flags);
    if (!append(fact, rows))
        return false;
    for (qsizetype i = 0; i < relation.columns.size() && i < relation.referencedColumns.size(); ++i) {
        Fact pair(kRelationshipColumns);
        pair.text(kColumnName) = relation.columns[i];
        pair.text(kOtherColumn) = relation.referencedColumns[i];
        if (!append(pair, rows))
            return false;
    }
    return true;
}

// Adds one fact to the schema read so far; false where it has nothing to belong to.
bool addFact(Fact& fact, DatabaseSchema& schema)
{
    SchemaTable* table = schema.tables.empty() ? nullptr : &schema.tables.back();
    SchemaIndex* index = table && !table->indexes.empty() ? &table->indexes.back() : nullptr;
    SchemaRelationship* relation = schema.relationships.empty() ? nullptr : &schema.relationships.back();
    switch (fact.kind) {
    case kTable:
        schema.tables.push_back({fact.text(kName), {}, {}});
        return schema.relationships.empty();  // the tables come first
    case kColumn:
        if (!table || !table->indexes.empty())
            return false;
        table->columns.push_back(columnOf(fact));
        return true;
    case kIndex:
        if (!table)
            return false;
        table->indexes.push_back({fact.text(kName), {}, (fact.number(kFlags) & kPrimary) != 0, (fact.number(kFlags) & kUnique) != 0});
        return true;
    case kIndexKey:
        if (!index || !schema.relationships.empty())
            return false;
        index->keys.push_back({fact.text(kColumnName), (fact.number(kFlags) & kDescending) != 0});
        return true;
    case kRelationship:
        schema.relationships.push_back({fact.text(kName), fact.text(kTableName), {}, fact.text(kOther), {},
                                        static_cast<uint32_t>(fact.number(kFlags))});
        return true;
    case kRelationshipColumns:
        if (!relation)
            return false;
        relation->columns << fact.text(kColumnName);
        relation->referencedColumns << fact.text(kOtherColumn);
        return true;
    default:
        return false;
    }
}

}  // namespace

std::vector<ColumnInfo> schemaRowColumns()
{
    const auto text = [](const char* name) { return ColumnInfo{QString::fromLatin1(name), FieldType::VarWChar, 0, 0, FieldType::Unsupported, 0}; };
    const auto number = [](const char* name) { return ColumnInfo{QString::fromLatin1(name), FieldType::Integer, 0, 0, FieldType::Unsupported, 0}; };
    return {{QStringLiteral("Kind"), FieldType::SmallInt, 0, 0, FieldType::Unsupported, 0},
            text("Table"), text("Name"), text("Column"), text("Other"), text("OtherColumn"),
            number("Type"), number("Precision"), number("Scale"), number("ListOf"), number("StoredType"), number("Size"),
            number("Flags")};
}

bool appendSchemaRows(const DatabaseSchema& schema, TableData& rows)
{
    for (const SchemaTable& table : schema.tables) {
        if (!appendTable(table, rows))
            return false;
    }
    for (const SchemaRelationship& relation : schema.relationships) {
        if (!appendRelationship(relation, rows))
            return false;
    }
    return true;
}

std::optional<DatabaseSchema> schemaFromRows(const TableData& rows)
{
    const std::vector<ColumnInfo> expected = schemaRowColumns();
    if (rows.columnCount() != static_cast<int>(expected.size()))
        return std::nullopt;
    for (int c = 0; c < rows.columnCount(); ++c) {
        if (rows.info(c).type != expected[static_cast<size_t>(c)].type)
            return std::nullopt;
    }
    DatabaseSchema schema;
    for (int64_t row = 0; row < rows.rowCount(); ++row) {
        Fact fact = read(rows, row);
        if (!addFact(fact, schema))
            return std::nullopt;
    }
    return schema;
}

}  // namespace varnex
