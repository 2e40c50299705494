#include "ComplexValueRows.h"

#include "AttachmentContent.h"
#include "RowDecoder.h"
#include "store/FieldTypes.h"
#include "reader/JetReader.h"

#include <mdbtools.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <unordered_map>

namespace varnex::reader {
namespace {

constexpr int64_t kBatchRows = 4096;
constexpr size_t kBatchBytes = 8u << 20;
const char* const kAttachmentColumns[] = {"FileName", "FileType", "FileData", "FileTimeStamp"};
// As delivered; FileData holds the file's bytes, taken out of the OLE value Access keeps.
const FieldType kAttachmentTypes[] = {FieldType::VarWChar, FieldType::VarWChar, FieldType::LongVarBinary, FieldType::Date};
constexpr int kFileData = 2;

int columnNamed(const TableData& table, const QString& name)
{
    for (int c = 0; c < table.columnCount(); ++c) {
        if (table.info(c).name.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

std::optional<uint32_t> keyAt(const TableData& table, int64_t row, int column)
{
    if (table.isNull(row, column) || table.info(column).type != FieldType::Integer)
        return std::nullopt;
    uint32_t key = 0;
    std::memcpy(&key, table.fixedValue(row, column), sizeof key);
    return key;
}

bool copyCell(const TableData& from, int64_t row, int column, TableData& to, int into)
{
    if (column < 0 || from.isNull(row, column))
        return to.putNull(into);
    if (isVariableLength(from.info(column).type)) {
        const std::string_view bytes = from.bytesValue(row, column);
        return to.putBytes(into, bytes.data(), bytes.size());
    }
    if (from.info(column).type == FieldType::Date) {
        const double date = from.dateValue(row, column);
        return to.putFixed(into, &date);
    }
    return to.putFixed(into, from.fixedValue(row, column));
}

bool putFileBytes(const TableData& flat, int64_t row, int column, TableData& to, int into, int64_t& damaged)
{
    if (column < 0 || flat.isNull(row, column))
        return to.putNull(into);
    const std::optional<std::string> bytes = attachmentFileBytes(flat.bytesValue(row, column));
    if (!bytes) {
        ++damaged;
        return to.putNull(into);
    }
    return to.putBytes(into, bytes->data(), bytes->size());
}

}  // namespace

std::optional<ValueRowsPlan> planValueRows(const TableData& flat, ComplexKind kind, const FlatColumns& columns)
{
    ValueRowsPlan plan;
    plan.key = columnNamed(flat, columns.key);
    const int value = columnNamed(flat, columns.value);
    if (plan.key < 0 || value < 0)
        return std::nullopt;
    plan.columns.push_back({QStringLiteral("row"), FieldType::Integer, 0, 0, FieldType::Unsupported, 0});
    if (kind != ComplexKind::Attachment) {
        ColumnInfo info = flat.info(value);
        info.name = QStringLiteral("Value");
        plan.columns.push_back(info);
        plan.sources.push_back(value);
        return plan;
    }
    for (int a = 0; a < static_cast<int>(std::size(kAttachmentColumns)); ++a) {
        const FieldType type = kAttachmentTypes[a];
        int source = columnNamed(flat, QLatin1StringView(kAttachmentColumns[a]));
        const FieldType stored = a == kFileData ? FieldType::LongVarBinary : type;
        if (source >= 0 && flat.info(source).type != stored)
            source = -1;  // a damaged hidden table's: left empty
        if (a == kFileData)
            plan.fileData = static_cast<int>(plan.columns.size());
        plan.columns.push_back({QLatin1StringView(kAttachmentColumns[a]), type, 0, 0, FieldType::Unsupported, 0});
        plan.sources.push_back(source);
    }
    return plan;
}

bool sendValueRows(const TableData& keys, const TableData& flat, const ValueRowsPlan& plan, TableSink& sink, int64_t& damaged)
{
    std::unordered_map<uint32_t, std::vector<int64_t>> byKey;
    for (int64_t row = 0; row < flat.rowCount(); ++row) {
        if (const auto key = keyAt(flat, row, plan.key))
            byKey[*key].push_back(row);
    }
    TableData batch(plan.columns);
    const auto flush = [&] {
        const bool taken = batch.rowCount() == 0 || sink.rows(batch);
        batch.clearRows();
        return taken;
    };
    for (int64_t position = 0; position < keys.rowCount(); ++position) {
        const auto key = keyAt(keys, position, 0);
        const auto found = key ? byKey.find(*key) : byKey.end();
        if (found == byKey.end())
            continue;
        const auto rowNumber = static_cast<int32_t>(position);
        for (const int64_t row : found->second) {
            if (!batch.putFixed(0, &rowNumber))
                return false;
            for (size_t c = 0; c < plan.sources.size(); ++c) {
                const int into = static_cast<int>(c) + 1;
                const bool put = into == plan.fileData ? putFileBytes(flat, row, plan.sources[c], batch, into, damaged)
                                                       : copyCell(flat, row, plan.sources[c], batch, into);
                if (!put)
                    return false;
            }
            batch.endRow();
            if ((batch.rowCount() >= kBatchRows || batch.byteSize() >= kBatchBytes) && !flush())
                return false;
        }
    }
    return flush();
}

Status JetReader::readComplexValues(const QString& tableName, const QString& columnName, TableSink& sink)
{
    const Result<void*> found = findTable(tableName);
    if (!found)
        return found.error();
    const Result<void*> opened = openEntry(*found);
    if (!opened)
        return opened.error();
    auto* mdb = static_cast<MdbHandle*>(handle_);
    auto* table = static_cast<MdbTableDef*>(*opened);
    const auto* entry = static_cast<const MdbCatalogEntry*>(*found);
    const QString name = QString::fromUtf8(entry->object_name);
    const Error none{ErrorCode::ReadFailed, QStringLiteral("The column '%1' of the table '%2' in '%3' holds no attachments or values "
                                                            "of its own.").arg(columnName, name, path_)};
    unsigned field = table->num_cols;
    for (unsigned i = 0; i < table->num_cols && field == table->num_cols; ++i) {
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, i));
        if (column->col_type == MDB_COMPLEX && QString::fromUtf8(column->name) == columnName)
            field = i;
    }
    CollectingSink unheard;  // the table's read says what the column lacks
    ComplexTarget target;
    if (field < table->num_cols) {
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, field));
        const auto extras = readColumnExtras(file_.path(), static_cast<int>(mdb->fmt->pg_size), static_cast<uint32_t>(entry->table_pg));
        const auto extra = extras.find(column->col_num);
        target = findComplexTarget(*found, columnName, extra == extras.end() ? 0 : extra->second.complexId, unheard);
    }
    if (target.outcome != ComplexTarget::Outcome::Found ||
        (target.kind != ComplexKind::Attachment && target.kind != ComplexKind::MultiValue)) {
        mdb_free_tabledef(table);
        return none;
    }
    // The keys of the user's rows, in the order a read of the table delivers its rows.
    const std::vector<ColumnInfo> keyColumns = {{columnName, FieldType::Integer, 0, 0, FieldType::Unsupported, 0}};
    CollectingSink keys;
    keys.columns(keyColumns, static_cast<int64_t>(table->num_rows));
    RowDecoder decoder(mdb, table, codePage_, keys, keyColumns, {{field, ValueForm::Plain, nullptr}});
    const Status walked = decoder.run();
    mdb_free_tabledef(table);
    if (!walked)
        return walked.error();
    CollectingSink flat;
    const auto wanted = [&](const QString& flatColumn) {
        if (flatColumn == target.columns.key || flatColumn == target.columns.value)
            return true;
        return target.kind == ComplexKind::Attachment &&
               std::any_of(std::begin(kAttachmentColumns), std::end(kAttachmentColumns),
                           [&](const char* c) { return flatColumn.compare(QLatin1StringView(c), Qt::CaseInsensitive) == 0; });
    };
    if (!readEntry(target.flatTable, flat, wanted, false))
        return Error{ErrorCode::ReadFailed, QStringLiteral("The hidden table of the values of the column '%1' of the table '%2' in "
                                                            "'%3' is damaged.").arg(columnName, name, path_)};
    const std::optional<ValueRowsPlan> plan = planValueRows(flat.table(), target.kind, target.columns);
    if (!plan)
        return none;
    for (const ReadWarning& lost : flat.warnings())
        sink.warning({name, columnName, QStringLiteral("some values could not be read: ") + lost.cause});
    if (!sink.columns(plan->columns, flat.table().rowCount()))
        return makeError(ErrorCode::ReadStopped);
    int64_t damaged = 0;
    if (!sendValueRows(keys.table(), flat.table(), *plan, sink, damaged))
        return makeError(ErrorCode::ReadStopped);
    if (damaged > 0)
        sink.warning({name, columnName, QStringLiteral("the data of %1 is damaged and left empty")
                                            .arg(damaged == 1 ? QStringLiteral("1 attachment") : QStringLiteral("%1 attachments").arg(damaged))});
    return {};
}

}  // namespace varnex::reader
