#include "RowDecoder.h"

#include "TablePages.h"
#include "store/FieldTypes.h"
#include "store/Variant.h"
#include "reader/RowOffsets.h"
#include "reader/LittleEndian.h"
#include "reader/StoredExtendedDate.h"
#include "reader/TextDecoding.h"

#include <QStringList>

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace varnex::reader {
namespace {

// A stretch of the walk ends at the page with which it reaches this many rows (a batch's worth,
// mostly), or at this many pages.
constexpr size_t kStretchRows = 3584;
constexpr size_t kMostStretchPages = 256;
// The workers that share a table's walk. While two take turns to walk and decode, a third keeps a
// processor busy where one of them waits: for its turn to walk, or for the program to take in the
// rows it hands on. More gain little, as the walk itself goes one stretch at a time.
constexpr int kWorkers = 3;
constexpr int kLargeNumberType = 0x13;
constexpr int kExtendedDateType = 0x14;
// A calculated column's result: 16 bytes, the result's length (32-bit), the result, 3 bytes.
constexpr size_t kCalculatedLengthAt = 16;
constexpr size_t kCalculatedResultAt = 20;
constexpr size_t kMostCalculatedMantissa = 16;
constexpr int kMostScale = 28;
constexpr size_t kMostPagesNamed = 10;

struct Bytes {
    const uint8_t* at = nullptr;
    size_t size = 0;
};

// The result inside a calculated column's wrapper (empty for a Null); nothing where the wrapper is damaged.
std::optional<Bytes> unwrapCalculated(const uint8_t* raw, size_t size)
{
    if (size == 0)
        return Bytes{};
    if (size < kCalculatedResultAt)
        return std::nullopt;
    uint32_t length = 0;
    std::memcpy(&length, raw + kCalculatedLengthAt, sizeof length);
    if (length > size - kCalculatedResultAt)
        return std::nullopt;
    return Bytes{raw + kCalculatedResultAt, length};
}

QString counted(int64_t n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1StringView(n == 1 ? one : many));
}

}  // namespace

FieldType fieldTypeOfCode(int typeCode, bool fixed)
{
    switch (typeCode) {
    case MDB_BOOL: return FieldType::Boolean;
    case MDB_BYTE: return FieldType::UnsignedTinyInt;
    case MDB_INT: return FieldType::SmallInt;
    case MDB_LONGINT: return FieldType::Integer;
    case MDB_MONEY: return FieldType::Currency;
    case MDB_FLOAT: return FieldType::Single;
    case MDB_DOUBLE: return FieldType::Double;
    case MDB_DATETIME: return FieldType::Date;
    case MDB_BINARY: return fixed ? FieldType::Binary : FieldType::VarBinary;
    case MDB_TEXT: return FieldType::VarWChar;
    case MDB_OLE: return FieldType::LongVarBinary;
    case MDB_MEMO: return FieldType::LongVarWChar;
    case MDB_REPID: return FieldType::GUID;
    case MDB_NUMERIC: return FieldType::Numeric;
    case kLargeNumberType: return FieldType::BigInt;
    case kExtendedDateType: return FieldType::DBTimeStamp;
    default: return FieldType::Unsupported;
    }
}

namespace {

std::vector<RowColumn> rowColumnsOf(const MdbTableDef& table)
{
    std::vector<RowColumn> columns;
    for (unsigned i = 0; i < table.num_cols; ++i) {
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(table.columns, i));
        columns.push_back({static_cast<uint16_t>(column->col_num), column->is_fixed != 0,
                           static_cast<uint16_t>(column->fixed_offset), static_cast<uint16_t>(column->col_size),
                           static_cast<uint16_t>(column->var_col_num)});
    }
    return columns;
}

std::vector<unsigned> fieldsOf(const std::vector<ColumnSource>& sources)
{
    std::vector<unsigned> fields;
    for (const ColumnSource& source : sources)
        fields.push_back(source.field);
    return fields;
}

}  // namespace

FieldType fieldTypeOf(const MdbColumn& column)
{
    return fieldTypeOfCode(column.col_type, column.is_fixed != 0);
}

RowDecoder::RowDecoder(MdbHandle* mdb, MdbTableDef* table, const CodePageTable& codePage, TableSink& sink,
                       const std::vector<ColumnInfo>& columns, std::vector<ColumnSource> sources, bool decodeValues)
    : mdb_(mdb), table_(table), codePage_(codePage), columns_(columns), jet3Characters_(codePage), sink_(sink),
      batch_(columns), sources_(std::move(sources)),
      cracker_(rowColumnsOf(*table), fieldsOf(sources_), mdb->f->jet_version == MDB_VER_JET3, table->num_var_cols > 0),
      jet3_(mdb->f->jet_version == MDB_VER_JET3), decodeValues_(decodeValues), pageCount_(pageCount(mdb)),
      pageSize_(static_cast<int>(mdb->fmt->pg_size)), longValuePages_(mdb), unreadValues_(columns.size()),
      cutShortValues_(columns.size())
{
    // The Null flag, and the value or where it ends.
    for (const ColumnInfo& column : columns)
        fixedRowBytes_ += 1 + (isVariableLength(column.type) ? sizeof(uint32_t) : static_cast<size_t>(fixedWidth(column.type)));
    planColumns();
}

Status RowDecoder::run()
{
    if (!decodeValues_)
        return walk();
    mdb_rewind_table(table_);
    SharedWalk shared(mdb_, table_);
    std::vector<std::unique_ptr<RowDecoder>> partners;
    for (int i = 1; i < kWorkers; ++i)
        partners.push_back(std::make_unique<RowDecoder>(mdb_, table_, codePage_, sink_, columns_, sources_));
    std::vector<Status> partnerWorked(partners.size());
    std::vector<std::exception_ptr> partnerFailures(partners.size());
    // Partners take stretches on threads of their own; where fewer threads can be had, the
    // workers that run take every stretch between them.
    std::vector<std::thread> threads;
    for (size_t i = 0; i < partners.size(); ++i) {
        try {
            threads.emplace_back([&, i] {
                try {
                    partnerWorked[i] = partners[i]->work(shared);
                } catch (...) {
                    partnerFailures[i] = std::current_exception();
                    shared.stop();
                }
            });
        } catch (const std::system_error&) {
            break;
        }
    }
    Status worked;
    try {
        worked = work(shared);
    } catch (...) {
        shared.stop();
        for (std::thread& thread : threads)
            thread.join();
        throw;
    }
    for (std::thread& thread : threads)
        thread.join();
    for (const std::exception_ptr& failure : partnerFailures) {
        if (failure)
            std::rethrow_exception(failure);
    }
    // The failure that stopped the walk, rather than the other workers' stops that followed it.
    for (const Status& partner : partnerWorked) {
        if (!partner && (worked || worked.error().code == ErrorCode::ReadStopped))
            worked = partner;
    }
    if (!worked)
        return worked;
    for (const std::unique_ptr<RowDecoder>& partner : partners)
        takeCounts(*partner);
    warnOfDamage();
    return {};
}

// The bare walk: its pages read and its rows cracked through libmdb, as a benchmark's floor.
Status RowDecoder::walk()
{
    mdb_rewind_table(table_);
    while (mdb_read_next_dpg(table_) != 0) {
        const int rows = mdb_get_int16(mdb_->pg_buf, mdb_->fmt->row_count_offset);
        for (int r = 0; r < rows; ++r)
            readRow(r);
    }
    return {};
}

// Stretch after stretch: walked and cracked in the walk's turn, decoded while another worker walks,
// and handed on in the pages' order.
Status RowDecoder::work(SharedWalk& shared)
{
    // The shared walk ends with run(): no pointer to it outlasts this call.
    struct Sharing {
        RowDecoder& worker;
        ~Sharing() { worker.shared_ = nullptr; }
    } sharing{*this};
    shared_ = &shared;
    chunk_ = std::make_unique<CrackedRows>();
    chunk_->pageSize = static_cast<size_t>(pageSize_);
    chunk_->columns = sources_.size();
    for (;;) {
        {
            SharedWalk::Turn turn(shared);
            if (!turn.takeStretch(stretch_))
                break;
            walkStretch(turn);
        }
        const Status decoded = decode(*chunk_);
        chunk_->clear();
        if (!decoded) {
            shared.stop();
            return decoded;
        }
        if (!flush()) {
            shared.stop();
            return makeError(ErrorCode::ReadStopped);
        }
        shared.handedOver(stretch_);
    }
    return shared.stopped() ? Status{makeError(ErrorCode::ReadStopped)} : Status{};
}

// Pages into the chunk until it holds a stretch, or to the walk's end.
void RowDecoder::walkStretch(SharedWalk::Turn& turn)
{
    while (chunk_->rowCount() < kStretchRows && chunk_->pageCount() < kMostStretchPages) {
        if (!turn.pages().next()) {
            turn.endOfPages();
            return;
        }
        pageInChunk_ = chunk_->addPage(mdb_->pg_buf);
        const int rows = mdb_get_int16(mdb_->pg_buf, mdb_->fmt->row_count_offset);
        for (int r = 0; r < rows; ++r)
            readRow(r);
    }
}

// A partner's share of what could not be read, and of the rows cracked.
void RowDecoder::takeCounts(const RowDecoder& partner)
{
    for (size_t c = 0; c < unreadValues_.size(); ++c) {
        unreadValues_[c] += partner.unreadValues_[c];
        cutShortValues_[c] += partner.cutShortValues_[c];
    }
    damagedPages_.insert(damagedPages_.end(), partner.damagedPages_.begin(), partner.damagedPages_.end());
    std::stable_sort(damagedPages_.begin(), damagedPages_.end(),
                     [](const DamagedPage& a, const DamagedPage& b) { return a.stretch < b.stretch; });
    rowsCracked_ += partner.rowsCracked_;
}

void RowDecoder::warnOfDamage()
{
    const QString table = QString::fromUtf8(table_->name);
    for (int c = 0; c < batch_.columnCount(); ++c) {
        const QString& column = batch_.info(c).name;
        if (const int64_t n = unreadValues_[static_cast<size_t>(c)])
            sink_.warning({table, column, counted(n, "value is", "values are") + QStringLiteral(" damaged in the file and left empty")});
        if (const int64_t n = cutShortValues_[static_cast<size_t>(c)])
            sink_.warning({table, column, counted(n, "long value is", "long values are") + QStringLiteral(" cut short: their pages are damaged")});
    }
    if (damagedPages_.empty())
        return;
    int64_t rows = 0;
    QStringList pages;
    for (const DamagedPage& damaged : damagedPages_) {
        rows += damaged.rows;
        if (static_cast<size_t>(pages.size()) < kMostPagesNamed)
            pages << QString::number(damaged.page);
    }
    if (damagedPages_.size() > kMostPagesNamed)
        pages << QStringLiteral("and %1 more").arg(damagedPages_.size() - kMostPagesNamed);
    sink_.warning({table, QString(), counted(rows, "damaged row", "damaged rows") + QStringLiteral(" left out (data %1 %2)")
                                         .arg(damagedPages_.size() == 1 ? QStringLiteral("page") : QStringLiteral("pages"),
                                              pages.join(QStringLiteral(", ")))});
}

// Counts a row that cannot be read on the current page; the walk goes on.
void RowDecoder::skipDamagedRow()
{
    const auto page = static_cast<uint32_t>(table_->cur_phys_pg);
    if (damagedPages_.empty() || damagedPages_.back().page != page || damagedPages_.back().stretch != stretch_)
        damagedPages_.push_back({stretch_, page, 0});
    ++damagedPages_.back().rows;
}

size_t RowDecoder::pageCount(MdbHandle* mdb)
{
    fseeko(mdb->f->stream, 0, SEEK_END);
    return static_cast<size_t>(ftello(mdb->f->stream)) / static_cast<size_t>(mdb->fmt->pg_size) + 1;
}

// libmdb does not check the row it finds through a pointer; a damaged one may lie off the page.
bool RowDecoder::onPage(int offset, size_t length) const
{
    const auto start = static_cast<size_t>(offset & kOffsetMask);
    return start + length <= static_cast<size_t>(mdb_->fmt->pg_size);
}

// Hands the batch's rows on, once every earlier stretch has been handed on.
bool RowDecoder::flush()
{
    if (shared_ && !shared_->awaitHandOver(stretch_))
        return false;
    if (batch_.rowCount() == 0)
        return true;
    const bool ok = sink_.rows(batch_);
    batch_.clearRows();
    variableBytes_ = 0;
    return ok;
}

// Damaged rows are passed over and counted.
void RowDecoder::readRow(int row)
{
    int start = 0;
    size_t length = 0;
    // Found in the page's offset table here; the bare walk, a benchmark's floor, asks libmdb as it always has.
    const bool found = decodeValues_ ? findRow(mdb_->pg_buf, pageSize_, mdb_->fmt->row_count_offset, row, start, length)
                                     : mdb_find_row(mdb_, row, &start, &length) == 0;
    if (!found)
        return skipDamagedRow();
    if (start & kDeletedRow)
        return;
    if (!(start & kOverflowRow)) {
        crack(start & kOffsetMask, length, pageInChunk_);
        return;
    }
    // The row moved to another page; its slot here holds a pointer to it.
    if (length < 4)
        return skipDamagedRow();
    const uint32_t target = readU32(mdb_->pg_buf + (start & kOffsetMask));
    void* buffer = nullptr;
    int offset = 0;
    size_t targetLength = 0;
    if (mdb_find_pg_row(mdb_, static_cast<int>(target), &buffer, &offset, &targetLength) != 0 ||
        !onPage(offset, targetLength))
        return skipDamagedRow();
    // Crack the moved row where libmdb expects it, in the current page buffer, and
    // put this page back afterwards. Its page goes into the chunk beside this one.
    std::memcpy(savedPage_, mdb_->pg_buf, sizeof savedPage_);
    std::memcpy(mdb_->pg_buf, mdb_->alt_pg_buf, sizeof savedPage_);
    const uint32_t movedTo = decodeValues_ ? chunk_->addPage(mdb_->pg_buf) : 0;
    crack(offset & kOffsetMask, targetLength, movedTo);
    std::memcpy(mdb_->pg_buf, savedPage_, sizeof savedPage_);
}

// libmdb finds a row's Null mask and the starts of its variable-length values from the
// row's end, and checks them against the page rather than the row: a row too short for
// its column count and Null mask (an empty one above all) would send it before the page.
bool RowDecoder::holdsCountAndNullMask(int start, size_t length) const
{
    const size_t countSize = jet3_ ? 1 : 2;
    if (length < countSize)
        return false;
    const uint8_t* row = mdb_->pg_buf + start;
    const size_t columns = jet3_ ? row[0] : readU16(row);
    return length >= countSize + (columns + 7) / 8;
}

// The bare walk cracks its rows with libmdb, as a benchmark's floor.
void RowDecoder::crackByLibmdb(int start, size_t length)
{
    if (!holdsCountAndNullMask(start, length) || mdb_crack_row(table_, start, length, fields_) < 0)
        return skipDamagedRow();
    ++rowsCracked_;
}

void RowDecoder::crack(int start, size_t length, uint32_t page)
{
    if (!decodeValues_)
        return crackByLibmdb(start, length);
    uint32_t* to = chunk_->addValues();
    if (!cracker_.crack(mdb_->pg_buf, static_cast<uint32_t>(pageSize_), static_cast<uint32_t>(start),
                        static_cast<uint32_t>(length), to)) {
        chunk_->dropValues();
        return skipDamagedRow();
    }
    ++rowsCracked_;
    chunk_->rowPages.push_back(page);
}

bool RowDecoder::storeValue(int c, CrackedValue value, const uint8_t* page)
{
    const ColumnSource& source = sources_[static_cast<size_t>(c)];
    if (source.form != ValueForm::Plain)
        return storeOtherForm(c, source, value, page);
    const FieldType type = batch_.info(c).type;
    if (type == FieldType::Boolean) {
        const uint8_t yes = value.isNull() ? 0 : 1;  // a Yes/No value lives in the Null mask
        return batch_.putFixed(c, &yes);
    }
    if (value.isNull())
        return batch_.putNull(c);
    if (!value.present())
        return storeUnread(c);
    const uint8_t* raw = page + value.start();
    const size_t size = value.size();
    switch (type) {
    case FieldType::Numeric: return storeDecimal(c, raw, size);
    case FieldType::DBTimeStamp: return storeExtendedDate(c, raw, size);
    case FieldType::VarWChar: return storeText(c, raw, size);
    case FieldType::Binary:
    case FieldType::VarBinary: variableBytes_ += size; return batch_.putBytes(c, raw, size);
    case FieldType::LongVarWChar:
    case FieldType::LongVarBinary: return storeLongValue(c, raw, size, type == FieldType::LongVarWChar);
    default: return storeFixed(c, raw, size);
    }
}

// Calculated results, complex columns and columns of types not read.
bool RowDecoder::storeOtherForm(int c, const ColumnSource& source, CrackedValue value, const uint8_t* page)
{
    if (value.isNull())
        return batch_.putNull(c);
    if (!value.present())
        return storeUnread(c);
    const uint8_t* raw = page + value.start();
    const size_t size = value.size();
    switch (source.form) {
    case ValueForm::Calculated: return storeCalculated(c, raw, size);
    case ValueForm::List: return storeList(c, *source.lists, raw, size);
    default: return storeUnreadBytes(c, source.lists, raw, size);
    }
}

// A value whose bytes are damaged: Null, and counted for the warning.
bool RowDecoder::storeUnread(int c)
{
    ++unreadValues_[static_cast<size_t>(c)];
    return batch_.putNull(c);
}

// A value of a type not read keeps its byte count; a complex column's, that of its values.
bool RowDecoder::storeUnreadBytes(int c, const ComplexValues* lists, const uint8_t* raw, size_t size)
{
    auto bytes = static_cast<uint32_t>(size);
    if (lists) {
        const auto found = size >= 4 ? lists->unreadBytes.find(readU32(raw)) : lists->unreadBytes.end();
        if (found == lists->unreadBytes.end())
            return batch_.putNull(c);
        bytes = found->second;
    }
    return batch_.putFixed(c, &bytes);
}

// The result shows as a value of the result type; a memo's wrapper is inside its long value.
bool RowDecoder::storeCalculated(int c, const uint8_t* raw, size_t size)
{
    const FieldType type = batch_.info(c).type;
    if (type == FieldType::LongVarWChar)
        return storeLongValue(c, raw, size, true, true);
    const std::optional<Bytes> result = unwrapCalculated(raw, size);
    if (!result)
        return storeUnread(c);
    if (result->size == 0)
        return batch_.putNull(c);
    switch (type) {
    case FieldType::VarWChar: return storeText(c, result->at, result->size);
    case FieldType::Numeric: return storeCalculatedDecimal(c, result->at, result->size);
    case FieldType::DBTimeStamp: return storeExtendedDate(c, result->at, result->size);
    case FieldType::Boolean: {
        const uint8_t value = result->at[0] != 0 ? 1 : 0;
        return batch_.putFixed(c, &value);
    }
    default:
        if (result->size < static_cast<size_t>(fixedWidth(type)))
            return storeUnread(c);
        return storeFixed(c, result->at, result->size);
    }
}

// A value stored shorter than its type's width (only a damaged row's) is taken with zeros after it.
bool RowDecoder::storeFixed(int c, const uint8_t* raw, size_t size)
{
    const auto width = static_cast<size_t>(fixedWidth(batch_.info(c).type));
    if (size >= width) {
        switch (width) {
        case 1: return batch_.putFixedOf<1>(c, raw);
        case 2: return batch_.putFixedOf<2>(c, raw);
        case 4: return batch_.putFixedOf<4>(c, raw);
        case 8: return batch_.putFixedOf<8>(c, raw);
        default: return batch_.putFixed(c, raw);
        }
    }
    uint8_t value[16] = {};
    std::memcpy(value, raw, size);
    return batch_.putFixed(c, value);
}

// Stored: a sign byte (0x80 negative), then four 32-bit words, most significant first.
bool RowDecoder::storeDecimal(int c, const uint8_t* raw, size_t size)
{
    if (size < 17)
        return storeUnread(c);
    UInt128 mantissa = 0;
    for (int word = 0; word < 4; ++word)
        mantissa = (mantissa << 32) | readU32(raw + 1 + 4 * word);
    uint8_t value[17];
    value[0] = (raw[0] & 0x80) ? 1 : 0;
    std::memcpy(value + 1, &mantissa, sizeof mantissa);
    return batch_.putFixed(c, value);
}

// A calculated Decimal keeps its own scale: a 16-bit length of what follows (0: all that follows), the
// scale, the sign (nonzero negative), then the mantissa in a multiple of 4 bytes (at most 16) as groups,
// most significant first, each little-endian: 8 bytes each, but 4 in the first where the count is no
// multiple of 8.
bool RowDecoder::storeCalculatedDecimal(int c, const uint8_t* raw, size_t size)
{
    if (size < 4)
        return storeUnread(c);
    const size_t stated = static_cast<size_t>(raw[0] | (raw[1] << 8));
    const size_t available = size - 4;
    size_t bytes = stated > 2 ? std::min(stated - 2, available) : available;
    bytes = std::min(bytes - bytes % 4, kMostCalculatedMantissa);
    const int scale = raw[2];
    if (scale > kMostScale)
        return storeUnread(c);
    UInt128 mantissa = 0;
    for (size_t at = 4; at < 4 + bytes;) {
        const size_t group = (at == 4 && bytes % 8 != 0) ? 4 : 8;
        uint64_t part = 0;
        std::memcpy(&part, raw + at, group);
        mantissa = (mantissa << (8 * group)) | part;
        at += group;
    }
    uint8_t value[17];
    value[0] = static_cast<uint8_t>((raw[3] != 0 ? 1 : 0) | ((scale + 1) << 1));  // the value's own scale, see TableData.h
    std::memcpy(value + 1, &mantissa, sizeof mantissa);
    return batch_.putFixed(c, value);
}

// A value that is not a date of years 1 to 9999 is damage, and read as Null.
bool RowDecoder::storeExtendedDate(int c, const uint8_t* raw, size_t size)
{
    const auto ticks = extendedDateTicks(raw, size);
    return ticks ? batch_.putFixed(c, &*ticks) : storeUnread(c);
}

// The row holds the key of its values in the complex column's flat table; a row without any is Null.
bool RowDecoder::storeList(int c, const ComplexValues& lists, const uint8_t* raw, size_t size)
{
    if (size < 4)
        return batch_.putNull(c);
    const auto found = lists.lists.find(readU32(raw));
    if (found == lists.lists.end())
        return batch_.putNull(c);
    variableBytes_ += found->second.size();
    return batch_.putBytes(c, found->second.data(), found->second.size());
}

// Decoded straight into the column's bytes.
bool RowDecoder::storeText(int c, const uint8_t* raw, size_t size)
{
    const size_t room = jet3_ ? jet3TextUtf8Room(size) : jet4TextUtf8Room(size);
    auto* at = reinterpret_cast<char*>(batch_.bytesRoom(c, room));
    if (!at)
        return false;
    const char* end = jet3_ ? writeJet3TextUtf8(jet3Characters_, raw, size, at) : writeJet4TextUtf8(raw, size, at);
    const auto length = static_cast<size_t>(end - at);
    variableBytes_ += length;
    return batch_.putWrittenBytes(c, length);
}

// A Memo or OLE value: inline, in one long-value row, or in a chain of them. calculated: a memo result,
// whose wrapper is inside the long value.
bool RowDecoder::storeLongValue(int c, const uint8_t* raw, size_t size, bool isText, bool calculated)
{
    if (size < kLongValueHeader)
        return storeUnread(c);
    const LongValue read = readLongValue(raw, size);
    const bool complete = read.complete;
    if (!complete)
        ++cutShortValues_[static_cast<size_t>(c)];
    Bytes value{read.at, read.size};
    if (calculated) {
        const std::optional<Bytes> result = unwrapCalculated(value.at, value.size);
        if (!result)
            return complete ? storeUnread(c) : batch_.putNull(c);
        if (result->size == 0)
            return batch_.putNull(c);
        value = *result;
    }
    if (!isText) {
        variableBytes_ += value.size;
        return batch_.putBytes(c, value.at, value.size);
    }
    return storeText(c, value.at, value.size);
}

// A value kept in the row, or on one long-value row, is read where it lies (the latter until
// the next long-value row is read); one spread over a chain of rows is gathered into longValue_.
RowDecoder::LongValue RowDecoder::readLongValue(const uint8_t* raw, size_t size)
{
    const uint32_t lengthAndFlags = readU32(raw);
    const size_t length = lengthAndFlags & 0x3FFFFFFFu;
    if (lengthAndFlags & 0x80000000u) {
        const size_t inRow = std::min(length, size - kLongValueHeader);
        return {raw + kLongValueHeader, inRow, inRow == length};
    }
    if (lengthAndFlags & 0x40000000u) {
        const LongValuePages::Row found = length == 0 ? LongValuePages::Row{} : longValuePages_.row(readU32(raw + 4));
        if (!found.bytes)
            return {raw, 0, length == 0};
        const size_t taken = std::min(found.length, length);
        return {found.bytes, taken, taken == length};
    }
    longValue_.clear();
    const bool complete = readLongValueRows(readU32(raw + 4), length);
    return {reinterpret_cast<const uint8_t*>(longValue_.data()), longValue_.size(), complete};
}

// Each row of the chain starts with the pointer to the next. A chain that comes back to a row it
// has passed is damaged: what it would repeat is no part of the value.
bool RowDecoder::readLongValueRows(uint32_t pointer, size_t length)
{
    chain_.clear();
    for (size_t hops = 0; pointer != 0 && longValue_.size() < length && hops < pageCount_; ++hops) {
        if (std::find(chain_.begin(), chain_.end(), pointer) != chain_.end())
            return false;
        chain_.push_back(pointer);
        const LongValuePages::Row found = longValuePages_.row(pointer);
        if (!found.bytes || found.length < 4)
            return false;
        pointer = readU32(found.bytes);
        const size_t take = std::min(found.length - 4, length - longValue_.size());
        longValue_.append(reinterpret_cast<const char*>(found.bytes) + 4, take);
    }
    return longValue_.size() == length;
}

}  // namespace varnex::reader
