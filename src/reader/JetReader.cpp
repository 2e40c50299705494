#include "reader/JetReader.h"

#include "CatalogueEntries.h"
#include "PlannedColumn.h"
#include "RowDecoder.h"
#include "core/ByteText.h"
#include "core/Error.h"
#include "store/FieldTypes.h"
#include "reader/PropertyListCheck.h"
#include "reader/TableDefinitionCheck.h"

#include <mdbtools.h>


#include <algorithm>
#include <cstdlib>
#include <deque>

namespace varnex::reader {
namespace {

QString sourceTableName(const QString& source)
{
    const QString name = source.trimmed();
    if (name.size() >= 2 && name.front() == u'[' && name.back() == u']')
        return name.mid(1, name.size() - 2);
    return name;
}

// The column of a user's table that holds the key of a complex column's values.
bool isComplex(const MdbColumn& column)
{
    return column.col_type == MDB_COMPLEX;
}

ComplexValues noValues()
{
    return ComplexValues{FieldType::VarWChar, 0, 0, {}, 0, {}};
}

QString typeCodeText(int code)
{
    return QStringLiteral("0x") + QString::number(code, 16).toUpper().rightJustified(2, u'0');
}

// The field type a calculated column's result type (an Access type code) is delivered as; Unsupported
// for a code no calculated column can have.
FieldType calculatedFieldType(const MdbColumn& column)
{
    const char* stated = mdb_col_get_prop(&column, "ResultType");
    if (!stated)
        return FieldType::Unsupported;
    const int code = std::atoi(stated);
    if (code == MDB_BINARY || code == MDB_OLE || code == MDB_COMPLEX)
        return FieldType::Unsupported;
    return fieldTypeOfCode(code, false);
}

int resultTypeCode(const MdbColumn& column)
{
    const char* stated = mdb_col_get_prop(&column, "ResultType");
    return stated ? std::atoi(stated) : 0;
}

}  // namespace

JetReader::JetReader(void* mdb, PlainFile file, const QString& path)
    : handle_(mdb), file_(std::move(file)), path_(path), codePage_(makeCodePageTable(file_.header().codePage))
{
}

JetReader::~JetReader()
{
    mdb_close(static_cast<MdbHandle*>(handle_));
}

Result<std::unique_ptr<JetReader>> JetReader::open(const QString& path, const QString& password,
                                                   const std::function<void()>& working)
{
    auto file = PlainFile::open(path, password, working);
    if (!file)
        return file.error();
    // Names of Jet 3 objects are in the database's code page; libmdb takes it from here.
    const uint16_t codePage = file->header().codePage;
    const QByteArray charset = "CP" + QByteArray::number(codePage == 0 ? 1252 : codePage);
    setenv("MDB_JET3_CHARSET", charset.constData(), 1);
    MdbHandle* mdb = mdb_open(textToBytes(file->path()).constData(), MDB_NOFLAGS);
    if (!mdb)
        return makeError(ErrorCode::UnrecognizedFormat, path);
    return std::unique_ptr<JetReader>(new JetReader(mdb, std::move(*file), path));
}

Status JetReader::readCatalogue(TableSink& sink)
{
    auto* mdb_ = static_cast<MdbHandle*>(handle_);
    const int64_t damagedBefore = damagedPropertyLists();
    if (!tableDefinitionLooksSound(file_.path(), static_cast<int>(mdb_->fmt->pg_size), kCatalogueDefinitionPage)
        || !mdb_read_catalog(mdb_, MDB_ANY))
        return makeError(ErrorCode::UnrecognizedFormat, path_);
    if (const int64_t damaged = damagedPropertyLists() - damagedBefore; damaged > 0)
        sink.warning({QString(), QString(),
                      QStringLiteral("the properties of %1 of the table list are damaged and left out")
                          .arg(damaged == 1 ? QStringLiteral("1 entry") : QStringLiteral("%1 entries").arg(damaged))});
    int64_t nameless = 0;
    const std::vector<ListedTable> entries = listedTables(mdb_, nameless);
    if (nameless > 0)
        sink.warning({QString(), QString(),
                      QStringLiteral("%1 of the table list without a valid name left out; its catalogue is damaged")
                          .arg(nameless == 1 ? QStringLiteral("1 entry") : QStringLiteral("%1 entries").arg(nameless))});
    const std::vector<ColumnInfo> columns = {{"TABLE_CATALOG", FieldType::VarWChar, 0, 0, FieldType::Unsupported},
                                             {"TABLE_SCHEMA", FieldType::VarWChar, 0, 0, FieldType::Unsupported},
                                             {"TABLE_NAME", FieldType::VarWChar, 0, 0, FieldType::Unsupported},
                                             {"TABLE_TYPE", FieldType::VarWChar, 0, 0, FieldType::Unsupported}};
    if (!sink.columns(columns, static_cast<int64_t>(entries.size())))
        return makeError(ErrorCode::ReadStopped);
    TableData rows(columns);
    for (const ListedTable& entry : entries) {
        const QByteArray name = entry.name.toUtf8();
        const QByteArray type = entry.type.toUtf8();
        if (!rows.putNull(0) || !rows.putNull(1) || !rows.putBytes(2, name.constData(), static_cast<size_t>(name.size())) ||
            !rows.putBytes(3, type.constData(), static_cast<size_t>(type.size())))
            return makeError(ErrorCode::OutOfMemory);
        rows.endRow();
    }
    return sink.rows(rows) ? Status{} : Status{makeError(ErrorCode::ReadStopped)};
}

Result<void*> JetReader::findTable(const QString& source)
{
    auto* mdb = static_cast<MdbHandle*>(handle_);
    const QString name = sourceTableName(source);
    if (!tableDefinitionLooksSound(file_.path(), static_cast<int>(mdb->fmt->pg_size), kCatalogueDefinitionPage) ||
        !mdb_read_catalog(mdb, MDB_TABLE))
        return makeError(ErrorCode::UnrecognizedFormat, path_);
    MdbCatalogEntry* found = tableNamed(mdb, name);
    if (!found || name.isEmpty())
        return makeError(ErrorCode::TableNotFound, name);
    return static_cast<void*>(found);
}

Result<void*> JetReader::openEntry(void* catalogueEntry)
{
    auto* mdb = static_cast<MdbHandle*>(handle_);
    auto* entry = static_cast<MdbCatalogEntry*>(catalogueEntry);
    const Error damaged{ErrorCode::ReadFailed, QStringLiteral("The definition of the table '%1' (page %2) in '%3' is damaged.")
                                                   .arg(QString::fromUtf8(entry->object_name)).arg(entry->table_pg).arg(path_)};
    if (!tableDefinitionLooksSound(file_.path(), static_cast<int>(mdb->fmt->pg_size), static_cast<uint32_t>(entry->table_pg)))
        return damaged;
    MdbTableDef* table = mdb_read_table(entry);
    if (!table)
        return damaged;
    if (!mdb_read_columns(table)) {
        mdb_free_tabledef(table);
        return damaged;
    }
    return static_cast<void*>(table);
}

Status JetReader::readTable(const QString& source, TableSink& sink)
{
    const Result<void*> found = findTable(source);
    if (!found)
        return found.error();
    return readEntry(*found, sink, {}, true);
}

Result<int64_t> JetReader::walkTable(const QString& source)
{
    const Result<void*> found = findTable(source);
    if (!found)
        return found.error();
    const Result<void*> opened = openEntry(*found);
    if (!opened)
        return opened.error();
    auto* table = static_cast<MdbTableDef*>(*opened);
    CollectingSink unused;
    RowDecoder walker(static_cast<MdbHandle*>(handle_), table, codePage_, unused, {}, {}, false);
    const Status walked = walker.run();
    mdb_free_tabledef(table);
    if (!walked)
        return walked.error();
    return walker.rowsCracked();
}

Status JetReader::readEntry(void* catalogueEntry, TableSink& sink, const std::function<bool(const QString&)>& wanted,
                            bool asked)
{
    const Result<void*> opened = openEntry(catalogueEntry);
    if (!opened)
        return opened.error();
    auto* table = static_cast<MdbTableDef*>(*opened);
    const auto* entry = static_cast<const MdbCatalogEntry*>(catalogueEntry);
    const auto extras = asked ? readColumnExtras(file_.path(), static_cast<int>(static_cast<MdbHandle*>(handle_)->fmt->pg_size),
                                                 static_cast<uint32_t>(entry->table_pg))
                              : std::unordered_map<int, ColumnExtras>();
    std::vector<ColumnInfo> columns;
    std::vector<ColumnSource> sources;
    std::deque<ComplexValues> lists;  // where the sources point
    for (unsigned i = 0; i < table->num_cols; ++i) {
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, i));
        if (wanted && !wanted(QString::fromUtf8(column->name)))
            continue;
        const auto found = extras.find(column->col_num);
        PlannedColumn planned{{}, {i, ValueForm::Plain, nullptr}};
        if (!planColumn(catalogueEntry, column, found == extras.end() ? ColumnExtras{} : found->second, asked ? &sink : nullptr,
                        &lists, planned))
            continue;
        columns.push_back(planned.info);
        sources.push_back(planned.source);
    }
    Status status = makeError(ErrorCode::ReadStopped);
    if (sink.columns(columns, static_cast<int64_t>(table->num_rows))) {
        RowDecoder decoder(static_cast<MdbHandle*>(handle_), table, codePage_, sink, columns, std::move(sources));
        status = decoder.run();
    }
    mdb_free_tabledef(table);
    return status;
}

bool JetReader::planColumn(void* entry, const void* libmdbColumn, const ColumnExtras& extras, TableSink* warnings,
                           std::deque<ComplexValues>* lists, PlannedColumn& planned)
{
    ColumnInfo& info = planned.info;
    ColumnSource& source = planned.source;
    CollectingSink unheard;  // a hidden table's: its reader tells what matters of them
    TableSink& sink = warnings ? *warnings : unheard;
    const auto& column = *static_cast<const MdbColumn*>(libmdbColumn);
    const QString name = QString::fromUtf8(column.name);
    const QString table = QString::fromUtf8(static_cast<const MdbCatalogEntry*>(entry)->object_name);
    // The column entry holds precision, then scale; libmdb files them the other way round.
    info = {name, fieldTypeOf(column), static_cast<uint8_t>(column.col_scale), static_cast<uint8_t>(column.col_prec), FieldType::Unsupported, 0};
    if (isCalculated(extras)) {
        // The descriptor's type need not be the result's; the column's properties say which that is.
        info = {name, calculatedFieldType(column), 0, 0, FieldType::Unsupported, 0};
        source.form = ValueForm::Calculated;
        if (info.type == FieldType::Unsupported) {
            const int code = resultTypeCode(column);
            info.storedType = static_cast<uint8_t>(code != 0 ? code : column.col_type);
            source.form = ValueForm::Unsupported;
            sink.warning({table, name, code == 0 ? QStringLiteral("a calculated column whose result type is not recorded; left empty")
                                                 : QStringLiteral("a calculated column of result type %1, which is not supported; left empty")
                                                       .arg(typeCodeText(code))});
        }
    } else if (isComplex(column)) {
        const ComplexTarget target = findComplexTarget(entry, name, extras.complexId, sink);
        if (target.outcome == ComplexTarget::Outcome::Hidden)
            return false;
        ComplexValues values = complexValues(entry, name, target, lists != nullptr, sink);
        const ComplexValues& kept = lists ? lists->emplace_back(std::move(values)) : values;
        source.lists = lists ? &kept : nullptr;
        if (kept.unsupportedType != 0) {
            info = {name, FieldType::Unsupported, 0, 0, FieldType::Unsupported, kept.unsupportedType};
            source.form = ValueForm::Unsupported;
        } else {
            info = {name, FieldType::LongVarWChar, kept.precision, kept.scale, kept.listOf, 0};
            source.form = ValueForm::List;
            if (target.outcome == ComplexTarget::Outcome::Found)
                planned.values = target.kind == ComplexKind::Attachment ? ValuesKind::Attachments : ValuesKind::MultipleValues;
        }
    } else if (info.type == FieldType::Unsupported) {
        info.storedType = static_cast<uint8_t>(column.col_type);
        source.form = ValueForm::Unsupported;
        sink.warning({table, name, QStringLiteral("its type %1 is not supported; its values are left empty").arg(typeCodeText(column.col_type))});
    }
    return true;
}

void* JetReader::tableAt(uint32_t definitionPage) const
{
    auto* mdb = static_cast<MdbHandle*>(handle_);
    for (guint i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && entry->table_pg == definitionPage)
            return entry;
    }
    return nullptr;
}

std::optional<std::vector<ColumnShape>> JetReader::columnShapes(void* entry)
{
    const Result<void*> opened = openEntry(entry);
    if (!opened)
        return std::nullopt;
    auto* table = static_cast<MdbTableDef*>(*opened);
    std::vector<ColumnShape> shapes;
    for (unsigned i = 0; i < table->num_cols; ++i) {
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, i));
        shapes.push_back({QString::fromUtf8(column->name), column->col_type, column->is_long_auto != 0});
    }
    mdb_free_tabledef(table);
    return shapes;
}

ComplexTarget JetReader::findComplexTarget(void* owner, const QString& column, uint32_t complexId, TableSink& sink)
{
    const auto* table = static_cast<const MdbCatalogEntry*>(owner);
    ComplexTarget target;
    const auto unread = [&](const QString& why) {
        sink.warning({QString::fromUtf8(table->object_name), column, why + QStringLiteral("; its values are left empty")});
        return target;
    };
    if (!complexColumns_) {
        CollectingSink links;
        auto* linksTable = tableNamed(static_cast<MdbHandle*>(handle_), QStringLiteral("MSysComplexColumns"));
        const bool read = linksTable && readEntry(linksTable, links, {}, false);
        complexColumns_ = read ? std::move(links.table()) : TableData();
        complexColumnsDamaged_ = !read || !links.warnings().empty();  // its whole rows still link their columns
    }
    const auto link = findComplexLink(*complexColumns_, static_cast<uint32_t>(table->table_pg), complexId);
    void* typeTable = link ? tableAt(link->templatePage) : nullptr;
    void* flatTable = link ? tableAt(link->flatPage) : nullptr;
    const auto templateColumns = typeTable ? columnShapes(typeTable) : std::nullopt;
    const ComplexKind kind = templateColumns ? complexKindOf(*templateColumns) : ComplexKind::Unknown;
    // A version history is read from its memo column; its own column is never shown.
    if (kind == ComplexKind::VersionHistory || (kind == ComplexKind::Unknown && column.startsWith(u"VersionHistory_"))) {
        target.outcome = ComplexTarget::Outcome::Hidden;
        return target;
    }
    if (!link && complexColumnsDamaged_)
        return unread(QStringLiteral("MSysComplexColumns, which links it to its values, is missing or damaged"));
    if (!link)
        return unread(QStringLiteral("MSysComplexColumns has no link for its complex id %1").arg(complexId));
    if (kind == ComplexKind::Unknown)
        return unread(QStringLiteral("the template table of its values is missing or of an unknown kind"));
    if (!flatTable)
        return unread(QStringLiteral("the hidden table of its values is missing"));
    const auto flatColumns = columnShapes(flatTable);
    if (!flatColumns)
        return unread(QStringLiteral("the hidden table of its values is damaged"));
    const auto found = findFlatColumns(*flatColumns, *templateColumns, kind);
    if (!found)
        return unread(QStringLiteral("the hidden table of its values lacks their columns"));
    return {ComplexTarget::Outcome::Found, kind, flatTable, *found};
}

namespace {

// Takes a table's columns and stops its read before any row.
class ColumnsOnlySink : public CollectingSink {
public:
    bool columns(const std::vector<ColumnInfo>& columns, int64_t rowCountHint) override
    {
        CollectingSink::columns(columns, rowCountHint);
        return false;
    }
};

}  // namespace

ComplexValues JetReader::complexValues(void* owner, const QString& column, const ComplexTarget& target, bool values,
                                       TableSink& sink)
{
    if (target.outcome != ComplexTarget::Outcome::Found)
        return noValues();
    const QString table = QString::fromUtf8(static_cast<const MdbCatalogEntry*>(owner)->object_name);
    const auto unread = [&](const QString& why) {
        sink.warning({table, column, why + QStringLiteral("; its values are left empty")});
        return noValues();
    };
    CollectingSink read;
    ColumnsOnlySink described;
    CollectingSink& flat = values ? read : described;
    const auto needed = [&](const QString& name) { return name == target.columns.key || name == target.columns.value; };
    const bool whole = static_cast<bool>(readEntry(target.flatTable, flat, needed, false));
    if (values ? !whole : flat.table().columnCount() == 0)
        return unread(QStringLiteral("the hidden table of its values is damaged"));
    auto collected = collectComplexValues(flat.table(), target.columns);
    if (!collected)
        return unread(QStringLiteral("the hidden table of its values lacks their columns"));
    // The hidden table's own losses are this column's.
    for (const ReadWarning& lost : flat.warnings())
        sink.warning({table, column, QStringLiteral("some values could not be read: ") + lost.cause});
    if (collected->unsupportedType != 0)
        sink.warning({table, column, QStringLiteral("its values are of type %1, which is not supported; left empty")
                                         .arg(typeCodeText(collected->unsupportedType))});
    return std::move(*collected);
}

}  // namespace varnex::reader
