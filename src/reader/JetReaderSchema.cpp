// JetReader: the schema of the user tables and the relationships between them.
#include "reader/JetReader.h"

#include "CatalogueEntries.h"
#include "IndexDefinitions.h"
#include "PlannedColumn.h"
#include "Relationships.h"
#include "store/FieldTypes.h"
#include "store/SchemaRows.h"

#include <mdbtools.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

namespace varnex::reader {
namespace {

bool isRequired(const MdbColumn& column)
{
    const char* required = mdb_col_get_prop(&column, "Required");
    return required && std::strcmp(required, "yes") == 0;
}

// Text columns declare their length in bytes: two a character in Jet 4, one in Jet 3.
uint32_t declaredSize(const MdbColumn& column, const ColumnInfo& info, bool jet4)
{
    if (info.type == FieldType::VarWChar)
        return static_cast<uint32_t>(column.col_size) / (jet4 ? 2 : 1);
    if (info.type == FieldType::Binary || info.type == FieldType::VarBinary)
        return static_cast<uint32_t>(column.col_size);
    return 0;
}

// The user's indexes of a table whose columns are known by their numbers. Access keeps a unique index of
// its own on the key of each complex column, and one for each relationship; neither is the user's.
std::vector<SchemaIndex> userIndexes(const std::vector<IndexDefinition>& definitions, const std::map<int, QString>& columnNames,
                                     const std::set<int>& complexColumns, const QString& table, TableSink& warnings)
{
    std::vector<SchemaIndex> indexes;
    for (const IndexDefinition& definition : definitions) {
        const bool onComplexKey = std::any_of(definition.columns.begin(), definition.columns.end(),
                                              [&](const IndexColumn& key) { return complexColumns.count(key.columnNumber) != 0; });
        if (definition.relationship || onComplexKey)
            continue;
        SchemaIndex index{definition.name, {}, definition.primary, definition.unique || definition.primary};
        for (const IndexColumn& key : definition.columns) {
            const auto name = columnNames.find(key.columnNumber);
            if (name == columnNames.end())
                break;
            index.keys.push_back({name->second, key.descending});
        }
        if (index.keys.size() != definition.columns.size() || index.keys.empty())
            warnings.warning({table, QString(), QStringLiteral("the index '%1' names a column the table does not show; it is left out")
                                                    .arg(definition.name)});
        else
            indexes.push_back(std::move(index));
    }
    return indexes;
}

}  // namespace

Status JetReader::readSchema(TableSink& sink)
{
    auto* mdb = static_cast<MdbHandle*>(handle_);
    if (!tableDefinitionLooksSound(file_.path(), static_cast<int>(mdb->fmt->pg_size), kCatalogueDefinitionPage) ||
        !mdb_read_catalog(mdb, MDB_TABLE))
        return makeError(ErrorCode::UnrecognizedFormat, path_);
    DatabaseSchema schema;
    int64_t nameless = 0;
    for (const ListedTable& listed : listedTables(mdb, nameless)) {
        if (!isUserTableName(listed.name))
            continue;
        // A table whose definition cannot be read is listed without columns; its read says what fails.
        schema.tables.push_back(describeTable(listed.entry, sink).value_or(SchemaTable{listed.name, {}, {}}));
    }
    if (const std::optional<TableData> rows = relationshipRows(sink)) {
        std::vector<ReadWarning> warnings;
        schema.relationships = relationshipsFromRows(*rows, schema.tables, warnings);
        for (const ReadWarning& warning : warnings)
            sink.warning(warning);
    }
    const std::vector<ColumnInfo> columns = schemaRowColumns();
    if (!sink.columns(columns, 0))
        return makeError(ErrorCode::ReadStopped);
    TableData rows(columns);
    if (!appendSchemaRows(schema, rows))
        return makeError(ErrorCode::OutOfMemory);
    return sink.rows(rows) ? Status{} : Status{makeError(ErrorCode::ReadStopped)};
}

std::optional<SchemaTable> JetReader::describeTable(void* catalogueEntry, TableSink& warnings)
{
    const Result<void*> opened = openEntry(catalogueEntry);
    if (!opened)
        return std::nullopt;
    auto* mdb = static_cast<MdbHandle*>(handle_);
    auto* table = static_cast<MdbTableDef*>(*opened);
    const auto* entry = static_cast<const MdbCatalogEntry*>(catalogueEntry);
    const int pageSize = static_cast<int>(mdb->fmt->pg_size);
    const bool jet4 = mdb->f->jet_version != MDB_VER_JET3;
    const auto extras = readColumnExtras(file_.path(), pageSize, static_cast<uint32_t>(entry->table_pg));
    SchemaTable described{QString::fromUtf8(entry->object_name), {}, {}};
    CollectingSink unheard;  // what the values lack, the table's read says
    std::map<int, QString> columnNames;
    std::set<int> complexColumns;
    for (unsigned i = 0; i < table->num_cols; ++i) {
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, i));
        if (column->col_type == MDB_COMPLEX)
            complexColumns.insert(column->col_num);
        const auto found = extras.find(column->col_num);
        PlannedColumn planned{{}, {i, ValueForm::Plain, nullptr}};
        if (!planColumn(catalogueEntry, column, found == extras.end() ? ColumnExtras{} : found->second, &unheard, nullptr, planned))
            continue;
        const bool calculated = planned.source.form == ValueForm::Calculated;
        described.columns.push_back({planned.info, calculated ? 0 : declaredSize(*column, planned.info, jet4), isRequired(*column),
                                     column->is_long_auto != 0 && column->col_type == MDB_LONGINT, planned.values});
        columnNames.emplace(column->col_num, planned.info.name);
    }
    mdb_free_tabledef(table);
    const auto record = readDefinitionRecord(file_.path(), pageSize, static_cast<uint32_t>(entry->table_pg));
    const auto definitions = record ? readIndexDefinitions(*record, jet4, codePage_) : std::nullopt;
    if (definitions)
        described.indexes = userIndexes(*definitions, columnNames, complexColumns, described.name, warnings);
    else
        warnings.warning({described.name, QString(), QStringLiteral("its index definitions are damaged; its indexes are left out")});
    return described;
}

std::optional<TableData> JetReader::relationshipRows(TableSink& warnings)
{
    auto* entry = tableNamed(static_cast<MdbHandle*>(handle_), QStringLiteral("MSysRelationships"));
    if (!entry)
        return std::nullopt;  // a file with no relationships to keep
    CollectingSink rows;
    if (!readEntry(entry, rows, {}, false)) {
        warnings.warning({QString(), QString(), QStringLiteral("MSysRelationships is damaged; the relationships are left out")});
        return std::nullopt;
    }
    for (const ReadWarning& lost : rows.warnings())
        warnings.warning({QString(), QString(), QStringLiteral("some relationships could not be read: ") + lost.cause});
    return std::move(rows.table());
}

}  // namespace varnex::reader
