#include "reader/JetReader.h"

#include "RowDecoder.h"
#include "core/ByteText.h"
#include "core/Error.h"
#include "data/FieldTypes.h"
#include "reader/TableDefinitionCheck.h"

#include <mdbtools.h>


#include <algorithm>
#include <cstdlib>
#include <deque>

namespace varnex::reader {
namespace {

constexpr uint32_t kSystemObjectFlag = 0x80000000u;
// Access's own tables for complex columns: system objects flagged as the template tables
// (MSysComplexType_*) or the flat tables of values (f_<hex>_<column>).
constexpr uint32_t kObjectKindMask = 0xFFFF0000u;
constexpr uint32_t kComplexTemplateFlags = 0x80030000u;
constexpr uint32_t kComplexValuesFlags = 0x800A0000u;

bool isComplexColumnTable(const MdbCatalogEntry& entry)
{
    const uint32_t kind = static_cast<uint32_t>(entry.flags) & kObjectKindMask;
    return kind == kComplexTemplateFlags || kind == kComplexValuesFlags;
}

QString tableType(const MdbCatalogEntry& entry)
{
    if (static_cast<uint32_t>(entry.flags) & kSystemObjectFlag)
        return QStringLiteral("SYSTEM TABLE");
    if (QString::fromUtf8(entry.object_name).startsWith(u"MSys", Qt::CaseInsensitive))
        return QStringLiteral("ACCESS TABLE");
    return QStringLiteral("TABLE");
}

QString sourceTableName(const QString& source)
{
    const QString name = source.trimmed();
    if (name.size() >= 2 && name.front() == u'[' && name.back() == u']')
        return name.mid(1, name.size() - 2);
    return name;
}

// The table of that name; the name as spelt wins over one that differs only in letter case.
MdbCatalogEntry* tableNamed(MdbHandle* mdb, const QString& name)
{
    MdbCatalogEntry* found = nullptr;
    for (guint i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        const QString entryName = QString::fromUtf8(entry->object_name);
        if (entry->object_type != MDB_TABLE || entryName.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (entryName == name)
            return entry;
        if (!found)
            found = entry;
    }
    return found;
}

// The column of a user's table that holds the key of a complex column's values.
bool isComplex(const MdbColumn& column)
{
    return column.col_type == MDB_COMPLEX;
}

ComplexValues noValues()
{
    return ComplexValues{fieldtype::VarWChar, 0, 0, {}};
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
    if (!tableDefinitionLooksSound(file_.path(), static_cast<int>(mdb_->fmt->pg_size), kCatalogueDefinitionPage)
        || !mdb_read_catalog(mdb_, MDB_ANY))
        return makeError(ErrorCode::UnrecognizedFormat, path_);
    struct Entry {
        QString name;
        QString type;
    };
    std::vector<Entry> entries;
    for (guint i = 0; i < mdb_->num_catalog; ++i) {
        const auto* entry = static_cast<const MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, i));
        if (entry->object_type == MDB_TABLE && !isComplexColumnTable(*entry))
            entries.push_back({QString::fromUtf8(entry->object_name), tableType(*entry)});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.type != b.type)
            return a.type < b.type;
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    const std::vector<ColumnInfo> columns = {{"TABLE_CATALOG", fieldtype::VarWChar, 0, 0, 0},
                                             {"TABLE_SCHEMA", fieldtype::VarWChar, 0, 0, 0},
                                             {"TABLE_NAME", fieldtype::VarWChar, 0, 0, 0},
                                             {"TABLE_TYPE", fieldtype::VarWChar, 0, 0, 0}};
    if (!sink.columns(columns, static_cast<int64_t>(entries.size())))
        return makeError(ErrorCode::ReadStopped);
    TableData rows(columns);
    for (const Entry& entry : entries) {
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
    if (!tableDefinitionLooksSound(file_.path(), static_cast<int>(mdb->fmt->pg_size), static_cast<uint32_t>(entry->table_pg)))
        return makeError(ErrorCode::UnrecognizedFormat, path_);
    MdbTableDef* table = mdb_read_table(entry);
    if (!table)
        return makeError(ErrorCode::UnrecognizedFormat, path_);
    mdb_read_columns(table);
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
                            bool resolveComplex)
{
    const Result<void*> opened = openEntry(catalogueEntry);
    if (!opened)
        return opened.error();
    auto* table = static_cast<MdbTableDef*>(*opened);
    std::vector<ColumnInfo> columns;
    std::vector<ColumnSource> sources;
    std::deque<ComplexValues> lists;  // where the sources point
    for (unsigned i = 0; i < table->num_cols; ++i) {
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, i));
        const QString name = QString::fromUtf8(column->name);
        if (wanted && !wanted(name))
            continue;
        // The column entry holds precision, then scale; libmdb files them the other way round.
        ColumnInfo info{name, fieldTypeOf(*column), static_cast<uint8_t>(column->col_scale),
                        static_cast<uint8_t>(column->col_prec), 0};
        ColumnSource source{i, nullptr};
        if (isComplex(*column) && resolveComplex) {
            auto values = readComplexColumn(catalogueEntry, name, sink);
            if (!values)
                continue;
            const ComplexValues& kept = lists.emplace_back(std::move(*values));
            info = {name, fieldtype::LongVarWChar, kept.precision, kept.scale, kept.listOf};
            source.lists = &kept;
        }
        columns.push_back(info);
        sources.push_back(source);
    }
    Status status = makeError(ErrorCode::ReadStopped);
    if (sink.columns(columns, static_cast<int64_t>(table->num_rows))) {
        RowDecoder decoder(static_cast<MdbHandle*>(handle_), table, codePage_, sink, columns, std::move(sources));
        status = decoder.run();
    }
    mdb_free_tabledef(table);
    return status;
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

std::optional<ComplexValues> JetReader::readComplexColumn(void* owner, const QString& column, TableSink& sink)
{
    const auto* table = static_cast<const MdbCatalogEntry*>(owner);
    const auto unread = [&](const QString& why) {
        sink.warning(QStringLiteral("The values of the column '%1' of the table '%2' in '%3' could not be read: %4.")
                         .arg(column, QString::fromUtf8(table->object_name), path_, why));
        return noValues();
    };
    if (!complexColumns_) {
        CollectingSink links;
        auto* linksTable = tableNamed(static_cast<MdbHandle*>(handle_), QStringLiteral("MSysComplexColumns"));
        complexColumns_ = linksTable && readEntry(linksTable, links, {}, false) ? std::move(links.table()) : TableData();
    }
    const auto link = findComplexLink(*complexColumns_, static_cast<uint32_t>(table->table_pg), column);
    const auto* typeTable = link ? static_cast<const MdbCatalogEntry*>(tableAt(link->templatePage)) : nullptr;
    const ComplexKind kind = typeTable ? complexKindOf(QString::fromUtf8(typeTable->object_name)) : ComplexKind::Unknown;
    // A version history is read from its memo column; its own column is never shown, linked or not.
    if (kind == ComplexKind::VersionHistory || (kind == ComplexKind::Unknown && column.startsWith(u"VersionHistory_")))
        return std::nullopt;
    if (kind == ComplexKind::Unknown)
        return unread(QStringLiteral("MSysComplexColumns does not say which kind of column it is"));
    void* flatTable = tableAt(link->flatPage);
    if (!flatTable)
        return unread(QStringLiteral("the hidden table of its values is missing"));
    CollectingSink flat;
    const auto needed = [&](const QString& name) { return isNeededFlatColumn(name, column); };
    if (!readEntry(flatTable, flat, needed, false))
        return unread(QStringLiteral("the hidden table of its values is damaged"));
    auto values = collectComplexValues(flat.table(), column, kind);
    if (!values)
        return unread(QStringLiteral("the hidden table of its values lacks their columns"));
    return values;
}

}  // namespace varnex::reader
