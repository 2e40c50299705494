#include "RowDecoder.h"

#include "TablePages.h"
#include "data/FieldTypes.h"
#include "data/Variant.h"
#include "reader/RowOffsets.h"
#include "reader/StoredExtendedDate.h"
#include "reader/TextDecoding.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <system_error>
#include <thread>

namespace varnex::reader {
namespace {

constexpr int64_t kBatchRows = 4096;
// Chunks of cracked rows: pages a chunk, and chunks waiting to be decoded at most.
constexpr size_t kPagesPerChunk = 32;
constexpr size_t kChunksWaiting = 4;
constexpr size_t kBatchBytes = 8u << 20;
constexpr int kLargeNumberType = 0x13;
constexpr int kExtendedDateType = 0x14;
constexpr size_t kLongValueHeader = 12;

uint32_t ReadU32(const uint8_t* at)
{
    uint32_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

}  // namespace

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
    case kExtendedDateType: return fieldtype::DBTimeStamp;
    default: return 0;
    }
}

RowDecoder::RowDecoder(MdbHandle* mdb, MdbTableDef* table, const CodePageTable& codePage, TableSink& sink,
                       const std::vector<ColumnInfo>& columns, std::vector<ColumnSource> sources, bool decodeValues)
    : mdb_(mdb), table_(table), codePage_(codePage), sink_(sink), batch_(columns), sources_(std::move(sources)),
      jet3_(mdb->f->jet_version == MDB_VER_JET3), decodeValues_(decodeValues), pageCount_(pageCount(mdb)),
      pageSize_(static_cast<int>(mdb->fmt->pg_size)), longValuePages_(mdb)
{
    // The Null flag, and the value or where it ends.
    for (const ColumnInfo& column : columns)
        fixedRowBytes_ += 1 + (isVariableLength(column.type) ? sizeof(uint32_t) : static_cast<size_t>(fixedWidth(column.type)));
}

Status RowDecoder::run()
{
    if (!decodeValues_)
        return walk();
    // The values are decoded on a thread of their own while this one walks on; where no thread
    // can be had, each chunk is decoded as soon as it is cracked.
    CrackedRowsLine line(kChunksWaiting);
    std::exception_ptr decodingFailure;
    Status decoded;
    std::thread decoder;
    try {
        decoder = std::thread([&] {
            try {
                decoded = decodeFrom(line);
            } catch (...) {
                decodingFailure = std::current_exception();
            }
            line.close();  // the walk stops too
        });
    } catch (const std::system_error&) {
    }
    line_ = decoder.joinable() ? &line : nullptr;
    Status walked;
    try {
        walked = walk();
    } catch (...) {
        line.close();
        if (decoder.joinable())
            decoder.join();
        throw;
    }
    line.close();
    if (decoder.joinable())
        decoder.join();
    line_ = nullptr;
    if (decodingFailure)
        std::rethrow_exception(decodingFailure);
    if (!decoded)
        return decoded;  // the walk was stopped for it
    if (!walked)
        return walked;
    return flush() ? Status{} : Status{makeError(ErrorCode::ReadStopped)};
}

// Walks the pages and cracks each row; the rows go to the decoding thread in chunks of pages.
// The bare walk (no values decoded) reads its pages through libmdb, as a benchmark's floor.
Status RowDecoder::walk()
{
    mdb_rewind_table(table_);
    TablePages pages(mdb_, table_);
    while (decodeValues_ ? pages.next() : mdb_read_next_dpg(table_) != 0) {
        if (decodeValues_ && !startPage())
            return makeError(ErrorCode::ReadStopped);
        const int rows = mdb_get_int16(mdb_->pg_buf, mdb_->fmt->row_count_offset);
        for (int r = 0; r < rows; ++r)
            readRow(r);
    }
    return !decodeValues_ || handOver() ? Status{} : Status{makeError(ErrorCode::ReadStopped)};
}

// The page in the page buffer begins in the chunk; a full chunk goes to the decoding first.
bool RowDecoder::startPage()
{
    if (chunk_ && chunk_->pageCount() >= kPagesPerChunk && !handOver())
        return false;
    if (!chunk_)
        chunk_ = line_ ? line_->spare(pageSize_) : std::make_unique<CrackedRows>();
    chunk_->pageSize = pageSize_;
    pageInChunk_ = chunk_->addPage(mdb_->pg_buf);
    return true;
}

bool RowDecoder::handOver()
{
    if (!chunk_)
        return true;
    if (!line_) {
        const Status decoded = decode(*chunk_);
        chunk_->clear();
        return decoded.ok();
    }
    return line_->put(std::move(chunk_));
}

Status RowDecoder::decodeFrom(CrackedRowsLine& line)
{
    while (std::unique_ptr<CrackedRows> rows = line.take()) {
        if (const Status decoded = decode(*rows); !decoded)
            return decoded;
        line.giveBack(std::move(rows));
    }
    return {};
}

Status RowDecoder::decode(const CrackedRows& rows)
{
    const auto columns = static_cast<size_t>(batch_.columnCount());
    for (size_t r = 0; r < rows.rowCount(); ++r) {
        const uint8_t* page = rows.page(rows.rowPages[r]);
        const MdbField* fields = rows.fields.data() + r * columns;
        for (size_t c = 0; c < columns; ++c) {
            if (!storeValue(static_cast<int>(c), fields[c], page))
                return makeError(ErrorCode::OutOfMemory);
        }
        batch_.endRow();
        const auto fixedBytes = static_cast<size_t>(batch_.rowCount()) * fixedRowBytes_;
        if ((batch_.rowCount() >= kBatchRows || variableBytes_ + fixedBytes >= kBatchBytes) && !flush())
            return makeError(ErrorCode::ReadStopped);
    }
    return {};
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

bool RowDecoder::flush()
{
    if (batch_.rowCount() == 0)
        return true;
    const bool ok = sink_.rows(batch_);
    batch_.clearRows();
    variableBytes_ = 0;
    return ok;
}

// Damaged rows are passed over.
void RowDecoder::readRow(int row)
{
    int start = 0;
    size_t length = 0;
    if (mdb_find_row(mdb_, row, &start, &length) != 0 || length == 0 || (start & kDeletedRow))
        return;
    if (!(start & kOverflowRow)) {
        crack(start & kOffsetMask, length, pageInChunk_);
        return;
    }
    // The row moved to another page; its slot here holds a pointer to it.
    if (length < 4)
        return;
    const uint32_t target = ReadU32(mdb_->pg_buf + (start & kOffsetMask));
    void* buffer = nullptr;
    int offset = 0;
    size_t targetLength = 0;
    if (mdb_find_pg_row(mdb_, static_cast<int>(target), &buffer, &offset, &targetLength) != 0 ||
        !onPage(offset, targetLength))
        return;
    // Crack the moved row where libmdb expects it, in the current page buffer, and
    // put this page back afterwards. Its page goes into the chunk beside this one.
    std::memcpy(savedPage_, mdb_->pg_buf, sizeof savedPage_);
    std::memcpy(mdb_->pg_buf, mdb_->alt_pg_buf, sizeof savedPage_);
    const uint32_t movedTo = decodeValues_ ? chunk_->addPage(mdb_->pg_buf) : 0;
    crack(offset & kOffsetMask, targetLength, movedTo);
    std::memcpy(mdb_->pg_buf, savedPage_, sizeof savedPage_);
}

void RowDecoder::crack(int start, size_t length, uint32_t page)
{
    if (mdb_crack_row(table_, start, length, fields_) < 0)
        return;
    ++rowsCracked_;
    if (!decodeValues_)
        return;
    chunk_->rowPages.push_back(page);
    for (const ColumnSource& source : sources_)
        chunk_->fields.push_back(fields_[source.field]);
}

bool RowDecoder::storeValue(int c, const MdbField& field, const uint8_t* page)
{
    const int16_t type = batch_.info(c).type;
    if (type == fieldtype::Boolean) {
        const uint8_t value = field.is_null ? 0 : 1;  // a Yes/No value lives in the Null mask
        return batch_.putFixed(c, &value);
    }
    // A damaged row can place a value outside the page; such a value is not read.
    const bool insidePage = field.start >= 0 && field.siz >= 0 && field.start + field.siz <= pageSize_;
    if (field.is_null || type == 0 || !insidePage)
        return batch_.putNull(c);
    const uint8_t* raw = page + field.start;
    const auto size = static_cast<size_t>(field.siz);
    if (const ComplexValues* lists = sources_[static_cast<size_t>(c)].lists)
        return storeList(c, *lists, raw, size);
    switch (type) {
    case fieldtype::Numeric: return storeDecimal(c, raw, size);
    case fieldtype::DBTimeStamp: return storeExtendedDate(c, raw, size);
    case fieldtype::VarWChar: return storeText(c, raw, size);
    case fieldtype::Binary:
    case fieldtype::VarBinary: variableBytes_ += size; return batch_.putBytes(c, raw, size);
    case fieldtype::LongVarWChar:
    case fieldtype::LongVarBinary: return storeLongValue(c, raw, size, type == fieldtype::LongVarWChar);
    default: return storeFixed(c, raw, size);
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
        return batch_.putNull(c);
    UInt128 mantissa = 0;
    for (int word = 0; word < 4; ++word)
        mantissa = (mantissa << 32) | ReadU32(raw + 1 + 4 * word);
    uint8_t value[17];
    value[0] = (raw[0] & 0x80) ? 1 : 0;
    std::memcpy(value + 1, &mantissa, sizeof mantissa);
    return batch_.putFixed(c, value);
}

// A value that is not a date of years 1 to 9999 is damage, and read as Null.
bool RowDecoder::storeExtendedDate(int c, const uint8_t* raw, size_t size)
{
    const auto ticks = extendedDateTicks(raw, size);
    return ticks ? batch_.putFixed(c, &*ticks) : batch_.putNull(c);
}

// The row holds the key of its values in the complex column's flat table; a row without any is Null.
bool RowDecoder::storeList(int c, const ComplexValues& lists, const uint8_t* raw, size_t size)
{
    if (size < 4)
        return batch_.putNull(c);
    const auto found = lists.lists.find(ReadU32(raw));
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
    const char* end = jet3_ ? writeJet3TextUtf8(codePage_, raw, size, at) : writeJet4TextUtf8(raw, size, at);
    const auto length = static_cast<size_t>(end - at);
    variableBytes_ += length;
    return batch_.putWrittenBytes(c, length);
}

// A Memo or OLE value: inline, in one long-value row, or in a chain of them.
bool RowDecoder::storeLongValue(int c, const uint8_t* raw, size_t size, bool isText)
{
    if (size < kLongValueHeader)
        return batch_.putNull(c);
    const uint32_t lengthAndFlags = ReadU32(raw);
    const size_t length = lengthAndFlags & 0x3FFFFFFFu;
    longValue_.clear();
    if (lengthAndFlags & 0x80000000u) {
        longValue_.append(reinterpret_cast<const char*>(raw) + kLongValueHeader, std::min(length, size - kLongValueHeader));
    } else {
        readLongValueRows(ReadU32(raw + 4), length, (lengthAndFlags & 0x40000000u) != 0);
    }
    if (!isText) {
        variableBytes_ += longValue_.size();
        return batch_.putBytes(c, longValue_.data(), longValue_.size());
    }
    return storeText(c, reinterpret_cast<const uint8_t*>(longValue_.data()), longValue_.size());
}

void RowDecoder::readLongValueRows(uint32_t pointer, size_t length, bool singleRow)
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

}  // namespace varnex::reader
