#include "reader/JetReader.h"

#include "core/Error.h"
#include "data/FieldTypes.h"
#include "data/JetHeader.h"
#include "data/Variant.h"
#include "reader/LongValuePages.h"
#include "reader/TableDefinitionCheck.h"
#include "reader/TextDecoding.h"

#include <mdbtools.h>

#include <QFileInfo>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace varnex::reader {
namespace {

constexpr int kOffsetMask = 0x1FFF;
constexpr int kDeletedRow = 0x8000;
constexpr int kOverflowRow = 0x4000;
constexpr int64_t kBatchRows = 4096;
constexpr size_t kBatchBytes = 8u << 20;
constexpr int kLargeNumberType = 0x13;
constexpr uint32_t kSystemObjectFlag = 0x80000000u;
constexpr size_t kLongValueHeader = 12;

int16_t fieldTypeOf(const MdbColumn& column)
{
    switch (column.col_type) {
    case MDB_BOOL: return fieldtype::Boolean;
    case MDB_BYTE: return fieldtype::UnsignedTinyInt;
    case MDB_INT: return fieldtype::SmallInt;
    case MDB_LONGINT: return fieldtype::Integer;
    case MDB_MONEY: return fieldtype::Currency;
    case MDB_FLOAT: return fieldtype::Single;
    case MDB_DOUBLE: return fieldtype::Double;
    case MDB_DATETIME: return fieldtype::Date;
    case MDB_BINARY: return column.is_fixed ? fieldtype::Binary : fieldtype::VarBinary;
    case MDB_TEXT: return fieldtype::VarWChar;
    case MDB_OLE: return fieldtype::LongVarBinary;
    case MDB_MEMO: return fieldtype::LongVarWChar;
    case MDB_REPID: return fieldtype::GUID;
    case MDB_NUMERIC: return fieldtype::Numeric;
    case kLargeNumberType: return fieldtype::BigInt;
    default: return 0;
    }
}

uint32_t ReadU32(const uint8_t* at)
{
    uint32_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

QString tableType(const MdbCatalogEntry& entry)
{
    if (static_cast<uint32_t>(entry.flags) & kSystemObjectFlag)
        return QStringLiteral("SYSTEM TABLE");
    if (QString::fromUtf8(entry.object_name).startsWith(u"MSys", Qt::CaseInsensitive))
        return QStringLiteral("ACCESS TABLE");
    return QStringLiteral("TABLE");
}

// Decodes the rows of one table into batches for the sink.
class RowDecoder {
public:
    // decodeValues false only walks the pages and cracks the rows, counting them.
    RowDecoder(MdbHandle* mdb, MdbTableDef* table, const CodePageTable& codePage, TableSink& sink,
               const std::vector<ColumnInfo>& columns, bool decodeValues = true)
        : mdb_(mdb), table_(table), codePage_(codePage), sink_(sink), batch_(columns),
          jet3_(mdb->f->jet_version == MDB_VER_JET3), decodeValues_(decodeValues), pageCount_(pageCount(mdb)),
          longValuePages_(mdb)
    {
    }

    int64_t rowsCracked() const { return rowsCracked_; }

    Status run()
    {
        mdb_rewind_table(table_);
        while (mdb_read_next_dpg(table_)) {
            const int rows = mdb_get_int16(mdb_->pg_buf, mdb_->fmt->row_count_offset);
            for (int r = 0; r < rows; ++r) {
                if (!readRow(r))
                    return makeError(ErrorCode::OutOfMemory);
                if ((batch_.rowCount() >= kBatchRows || batch_.byteSize() >= kBatchBytes) && !flush())
                    return makeError(ErrorCode::ReadStopped);
            }
        }
        return flush() ? Status{} : Status{makeError(ErrorCode::ReadStopped)};
    }

private:
    static size_t pageCount(MdbHandle* mdb)
    {
        fseeko(mdb->f->stream, 0, SEEK_END);
        return static_cast<size_t>(ftello(mdb->f->stream)) / static_cast<size_t>(mdb->fmt->pg_size) + 1;
    }

    // libmdb does not check the row it finds through a pointer; a damaged one may lie off the page.
    bool onPage(int offset, size_t length) const
    {
        const auto start = static_cast<size_t>(offset & kOffsetMask);
        return start + length <= static_cast<size_t>(mdb_->fmt->pg_size);
    }

    bool flush()
    {
        if (batch_.rowCount() == 0)
            return true;
        const bool ok = sink_.rows(batch_);
        batch_.clearRows();
        return ok;
    }

    // False only when memory runs out; damaged rows are passed over.
    bool readRow(int row)
    {
        int start = 0;
        size_t length = 0;
        if (mdb_find_row(mdb_, row, &start, &length) != 0 || length == 0 || (start & kDeletedRow))
            return true;
        if (!(start & kOverflowRow))
            return crackAndStore(start & kOffsetMask, length);
        // The row moved to another page; its slot here holds a pointer to it.
        if (length < 4)
            return true;
        const uint32_t target = ReadU32(mdb_->pg_buf + (start & kOffsetMask));
        void* buffer = nullptr;
        int offset = 0;
        size_t targetLength = 0;
        if (mdb_find_pg_row(mdb_, static_cast<int>(target), &buffer, &offset, &targetLength) != 0 ||
            !onPage(offset, targetLength))
            return true;
        // Crack the moved row where libmdb expects it, in the current page buffer, and
        // put this page back afterwards (long values read in between reuse the other buffer).
        std::memcpy(savedPage_, mdb_->pg_buf, sizeof savedPage_);
        std::memcpy(mdb_->pg_buf, mdb_->alt_pg_buf, sizeof savedPage_);
        const bool ok = crackAndStore(offset & kOffsetMask, targetLength);
        std::memcpy(mdb_->pg_buf, savedPage_, sizeof savedPage_);
        return ok;
    }

    bool crackAndStore(int start, size_t length)
    {
        if (mdb_crack_row(table_, start, length, fields_) < 0)
            return true;
        ++rowsCracked_;
        if (!decodeValues_)
            return true;
        for (unsigned c = 0; c < table_->num_cols; ++c) {
            if (!storeValue(static_cast<int>(c), fields_[c]))
                return false;
        }
        batch_.endRow();
        return true;
    }

    bool storeValue(int c, const MdbField& field)
    {
        const int16_t type = batch_.info(c).type;
        if (type == fieldtype::Boolean) {
            const uint8_t value = field.is_null ? 0 : 1;  // a Yes/No value lives in the Null mask
            return batch_.putFixed(c, &value);
        }
        // A damaged row can place a value outside the page; such a value is not read.
        const bool insidePage = field.start >= 0 && field.siz >= 0 && field.start + field.siz <= mdb_->fmt->pg_size;
        if (field.is_null || type == 0 || !insidePage)
            return batch_.putNull(c);
        const uint8_t* raw = mdb_->pg_buf + field.start;
        switch (type) {
        case fieldtype::Numeric: return storeDecimal(c, raw, static_cast<size_t>(field.siz));
        case fieldtype::VarWChar: return storeText(c, raw, static_cast<size_t>(field.siz));
        case fieldtype::Binary:
        case fieldtype::VarBinary: return batch_.putBytes(c, raw, static_cast<size_t>(field.siz));
        case fieldtype::LongVarWChar:
        case fieldtype::LongVarBinary: return storeLongValue(c, raw, static_cast<size_t>(field.siz), type == fieldtype::LongVarWChar);
        default: return storeFixed(c, raw, static_cast<size_t>(field.siz));
        }
    }

    bool storeFixed(int c, const uint8_t* raw, size_t size)
    {
        uint8_t value[16] = {};
        std::memcpy(value, raw, std::min(size, static_cast<size_t>(fixedWidth(batch_.info(c).type))));
        return batch_.putFixed(c, value);
    }

    // Stored: a sign byte (0x80 negative), then four 32-bit words, most significant first.
    bool storeDecimal(int c, const uint8_t* raw, size_t size)
    {
        if (size < 17)
            return batch_.putNull(c);
        UInt128 mantissa = 0;
        for (int word = 0; word < 4; ++word)
            mantissa = (mantissa << 32) | ReadU32(raw + 1 + 4 * word);
        uint8_t value[17];
        value[0] = (raw[0] & 0x80) ? 1 : 0;
        std::memcpy(value + 1, &mantissa, sizeof mantissa);
        return batch_.putFixed(c, value);
    }

    bool storeText(int c, const uint8_t* raw, size_t size)
    {
        text_.clear();
        if (jet3_)
            appendJet3TextUtf8(codePage_, raw, size, text_);
        else
            appendJet4TextUtf8(raw, size, text_);
        return batch_.putBytes(c, text_.data(), text_.size());
    }

    // A Memo or OLE value: inline, in one long-value row, or in a chain of them.
    bool storeLongValue(int c, const uint8_t* raw, size_t size, bool isText)
    {
        if (size < kLongValueHeader)
            return batch_.putNull(c);
        const uint32_t lengthAndFlags = ReadU32(raw);
        const size_t length = lengthAndFlags & 0x3FFFFFFFu;
        longValue_.clear();
        if (lengthAndFlags & 0x80000000u) {
            longValue_.append(reinterpret_cast<const char*>(raw) + kLongValueHeader,
                              std::min(length, size - kLongValueHeader));
        } else {
            readLongValueRows(ReadU32(raw + 4), length, (lengthAndFlags & 0x40000000u) != 0);
        }
        if (!isText)
            return batch_.putBytes(c, longValue_.data(), longValue_.size());
        return storeText(c, reinterpret_cast<const uint8_t*>(longValue_.data()), longValue_.size());
    }

    void readLongValueRows(uint32_t pointer, size_t length, bool singleRow)
    {
        for (size_t hops = 0; pointer != 0 && longValue_.size() < length && hops < pageCount_; ++hops) {
            const LongValuePages::Row found = longValuePages_.row(pointer);
            if (!found.bytes)
                return;
            const uint8_t* row = found.bytes;
            const size_t rowLength = found.length;
            if (singleRow) {
                longValue_.append(reinterpret_cast<const char*>(row), std::min(rowLength, length));
                return;
            }
            if (rowLength < 4)
                return;
            pointer = ReadU32(row);
            const size_t take = std::min(rowLength - 4, length - longValue_.size());
            longValue_.append(reinterpret_cast<const char*>(row) + 4, take);
        }
    }

    MdbHandle* mdb_;
    MdbTableDef* table_;
    const CodePageTable& codePage_;
    TableSink& sink_;
    TableData batch_;
    bool jet3_;
    bool decodeValues_;
    int64_t rowsCracked_ = 0;
    size_t pageCount_;
    LongValuePages longValuePages_;
    MdbField fields_[MDB_MAX_COLS] = {};
    unsigned char savedPage_[MDB_PGSIZE] = {};
    std::string text_;
    std::string longValue_;
};

QString sourceTableName(const QString& source)
{
    const QString name = source.trimmed();
    if (name.size() >= 2 && name.front() == u'[' && name.back() == u']')
        return name.mid(1, name.size() - 2);
    return name;
}

}  // namespace

JetReader::JetReader(void* mdb, const QString& path, uint16_t codePage)
    : handle_(mdb), path_(path), codePage_(makeCodePageTable(codePage))
{
}

JetReader::~JetReader()
{
    mdb_close(static_cast<MdbHandle*>(handle_));
}

Result<std::unique_ptr<JetReader>> JetReader::open(const QString& path)
{
    auto header = readJetHeader(path);
    if (!header)
        return header.error();
    // Names of Jet 3 objects are in the database's code page; libmdb takes it from here.
    const QByteArray charset = "CP" + QByteArray::number(header->codePage == 0 ? 1252 : header->codePage);
    setenv("MDB_JET3_CHARSET", charset.constData(), 1);
    MdbHandle* mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!mdb)
        return makeError(ErrorCode::UnrecognizedFormat, path);
    return std::unique_ptr<JetReader>(new JetReader(mdb, path, header->codePage));
}

Status JetReader::readCatalogue(TableSink& sink)
{
    auto* mdb_ = static_cast<MdbHandle*>(handle_);
    if (!tableDefinitionLooksSound(path_, static_cast<int>(mdb_->fmt->pg_size), kCatalogueDefinitionPage)
        || !mdb_read_catalog(mdb_, MDB_ANY))
        return makeError(ErrorCode::UnrecognizedFormat, path_);
    struct Entry {
        QString name;
        QString type;
    };
    std::vector<Entry> entries;
    for (guint i = 0; i < mdb_->num_catalog; ++i) {
        const auto* entry = static_cast<const MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, i));
        if (entry->object_type == MDB_TABLE)
            entries.push_back({QString::fromUtf8(entry->object_name), tableType(*entry)});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.type != b.type)
            return a.type < b.type;
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    const std::vector<ColumnInfo> columns = {{"TABLE_CATALOG", fieldtype::VarWChar, 0, 0},
                                             {"TABLE_SCHEMA", fieldtype::VarWChar, 0, 0},
                                             {"TABLE_NAME", fieldtype::VarWChar, 0, 0},
                                             {"TABLE_TYPE", fieldtype::VarWChar, 0, 0}};
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

Result<void*> JetReader::openTable(const QString& source)
{
    auto* mdb_ = static_cast<MdbHandle*>(handle_);
    const QString name = sourceTableName(source);
    const int pageSize = static_cast<int>(mdb_->fmt->pg_size);
    if (!tableDefinitionLooksSound(path_, pageSize, kCatalogueDefinitionPage) || !mdb_read_catalog(mdb_, MDB_TABLE))
        return makeError(ErrorCode::UnrecognizedFormat, path_);
    MdbCatalogEntry* found = nullptr;
    for (guint i = 0; i < mdb_->num_catalog && !found; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb_->catalog, i));
        if (entry->object_type == MDB_TABLE && QString::fromUtf8(entry->object_name).compare(name, Qt::CaseInsensitive) == 0)
            found = entry;
    }
    if (!found || name.isEmpty())
        return makeError(ErrorCode::TableNotFound, name);
    if (!tableDefinitionLooksSound(path_, pageSize, static_cast<uint32_t>(found->table_pg)))
        return makeError(ErrorCode::UnrecognizedFormat, path_);
    MdbTableDef* table = mdb_read_table(found);
    if (!table)
        return makeError(ErrorCode::UnrecognizedFormat, path_);
    mdb_read_columns(table);
    return static_cast<void*>(table);
}

Status JetReader::readTable(const QString& source, TableSink& sink)
{
    auto opened = openTable(source);
    if (!opened)
        return opened.error();
    auto* table = static_cast<MdbTableDef*>(*opened);
    std::vector<ColumnInfo> columns;
    for (unsigned i = 0; i < table->num_cols; ++i) {
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, i));
        // The column entry holds precision, then scale; libmdb files them the other way round.
        columns.push_back({QString::fromUtf8(column->name), fieldTypeOf(*column), static_cast<uint8_t>(column->col_scale),
                           static_cast<uint8_t>(column->col_prec)});
    }
    Status status = makeError(ErrorCode::ReadStopped);
    if (sink.columns(columns, static_cast<int64_t>(table->num_rows))) {
        RowDecoder decoder(static_cast<MdbHandle*>(handle_), table, codePage_, sink, columns);
        status = decoder.run();
    }
    mdb_free_tabledef(table);
    return status;
}

Result<int64_t> JetReader::walkTable(const QString& source)
{
    auto opened = openTable(source);
    if (!opened)
        return opened.error();
    auto* table = static_cast<MdbTableDef*>(*opened);
    CollectingSink unused;
    RowDecoder walker(static_cast<MdbHandle*>(handle_), table, codePage_, unused, {}, false);
    const Status walked = walker.run();
    mdb_free_tabledef(table);
    if (!walked)
        return walked.error();
    return walker.rowsCracked();
}

}  // namespace varnex::reader
