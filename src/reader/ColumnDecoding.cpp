// The decoding's side of RowDecoder: a chunk of cracked rows is decoded column by column, each
// column in one loop over the rows that go into the batch, so that a column's values, Null
// flags and text are written in one sweep rather than a value of every column in turn.

#include "RowDecoder.h"

#include "store/TableData.h"
#include "reader/TextDecoding.h"

#include <algorithm>
#include <cstring>

namespace varnex::reader {
namespace {

// A batch ends at this many rows, or at the row with which its bytes reach kBatchBytes.
constexpr int64_t kBatchRows = 4096;
constexpr size_t kBatchBytes = 8u << 20;

ColumnLoop loopOf(FieldType type, ValueForm form)
{
    if (form != ValueForm::Plain)
        return ColumnLoop::PerValue;
    switch (type) {
    case FieldType::Boolean: return ColumnLoop::Boolean;
    case FieldType::UnsignedTinyInt: return ColumnLoop::Fixed1;
    case FieldType::SmallInt: return ColumnLoop::Fixed2;
    case FieldType::Integer:
    case FieldType::Single: return ColumnLoop::Fixed4;
    case FieldType::Double:
    case FieldType::Currency:
    case FieldType::Date:
    case FieldType::BigInt: return ColumnLoop::Fixed8;
    case FieldType::VarWChar: return ColumnLoop::Text;
    case FieldType::Binary:
    case FieldType::VarBinary: return ColumnLoop::Bytes;
    case FieldType::LongVarWChar: return ColumnLoop::LongText;
    case FieldType::LongVarBinary: return ColumnLoop::LongBytes;
    default: return ColumnLoop::PerValue;
    }
}

ValueBound boundOf(FieldType type, ValueForm form)
{
    switch (form) {
    case ValueForm::List: return ValueBound::List;
    case ValueForm::Unsupported: return ValueBound::None;
    case ValueForm::Calculated:  // the result lies inside the stored value
        return type == FieldType::VarWChar ? ValueBound::Text : type == FieldType::LongVarWChar ? ValueBound::LongText : ValueBound::None;
    case ValueForm::Plain: break;
    }
    switch (type) {
    case FieldType::VarWChar: return ValueBound::Text;
    case FieldType::Binary:
    case FieldType::VarBinary: return ValueBound::Bytes;
    case FieldType::LongVarWChar: return ValueBound::LongText;
    case FieldType::LongVarBinary: return ValueBound::LongBytes;
    default: return ValueBound::None;
    }
}

// A batch's Null flags of one column, set a row at a time and appended at once.
class NullFlags {
public:
    explicit NullFlags(size_t rows) : bytes_((rows + 7) / 8) { std::memset(bits_, 0, bytes_); }
    void set(size_t row) { bits_[row >> 3] |= static_cast<uint8_t>(1u << (row & 7)); }
    const uint8_t* bits() const { return bits_; }

private:
    size_t bytes_;
    uint8_t bits_[kBatchRows / 8];
};

}  // namespace

void RowDecoder::planColumns()
{
    for (size_t c = 0; c < sources_.size(); ++c) {
        const FieldType type = batch_.info(static_cast<int>(c)).type;
        loops_.push_back(loopOf(type, sources_[c].form));
        bounds_.push_back(boundOf(type, sources_[c].form));
        if (bounds_.back() != ValueBound::None)
            boundedColumns_.push_back(c);
    }
}

Status RowDecoder::decode(const CrackedRows& rows)
{
    for (size_t first = 0; first < rows.rowCount();) {
        bool full = false;
        const size_t count = batchRows(rows, first, full);
        for (int c = 0; c < batch_.columnCount(); ++c) {
            if (!decodeColumn(c, rows, first, count))
                return makeError(ErrorCode::OutOfMemory);
        }
        batch_.setRowCount(batch_.rowCount() + static_cast<int64_t>(count));
        first += count;
        if (full && !flush())
            return makeError(ErrorCode::ReadStopped);
    }
    return {};
}

// How many of the chunk's rows from first go into the batch: up to its row limit, or up to the row
// with which the most its values can take reaches its byte limit (full: the batch is then sent).
// The values decoded take at most that, so a batch never holds more than it did decoded row by row.
size_t RowDecoder::batchRows(const CrackedRows& rows, size_t first, bool& full) const
{
    const size_t most = std::min(rows.rowCount() - first, static_cast<size_t>(kBatchRows - batch_.rowCount()));
    full = batch_.rowCount() + static_cast<int64_t>(most) >= kBatchRows;
    size_t bytes = variableBytes_ + static_cast<size_t>(batch_.rowCount()) * fixedRowBytes_;
    // Mostly the rows' values can take far less than the limit: they are counted all at once, and
    // row by row only where they may reach it.
    if (bytes + mostBytes(rows, first, most) < kBatchBytes)
        return most;
    for (size_t k = 0; k < most; ++k) {
        const size_t r = first + k;
        const uint8_t* page = rows.page(rows.rowPages[r]);
        bytes += fixedRowBytes_;
        for (const size_t c : boundedColumns_)
            bytes += valueBound(c, rows.value(r, c), page);
        if (bytes >= kBatchBytes) {
            full = true;
            return k + 1;
        }
    }
    return most;
}

// The most count rows from first can add to a batch, as batchRows() counts it row by row: a column
// at a time, text and binary values by their stored sizes alone (without a branch on which are
// there), long values and lists by what their pages say.
size_t RowDecoder::mostBytes(const CrackedRows& rows, size_t first, size_t count) const
{
    size_t bytes = count * fixedRowBytes_;
    for (const size_t c : boundedColumns_) {
        const ValueBound bound = bounds_[c];
        if (bound != ValueBound::Bytes && bound != ValueBound::Text) {
            for (size_t r = first; r < first + count; ++r)
                bytes += valueBound(c, rows.value(r, c), rows.page(rows.rowPages[r]));
            continue;
        }
        const bool text = bound == ValueBound::Text;
        for (size_t r = first; r < first + count; ++r) {
            const CrackedValue value = rows.value(r, c);
            const size_t most = text ? textRoom(value.size()) : value.size();
            bytes += value.present() ? most : 0;
        }
    }
    return bytes;
}

size_t RowDecoder::valueBound(size_t c, CrackedValue value, const uint8_t* page) const
{
    if (!value.present())
        return 0;
    const uint8_t* raw = page + value.start();
    const size_t size = value.size();
    switch (bounds_[c]) {
    case ValueBound::Bytes: return size;
    case ValueBound::Text: return textRoom(size);
    case ValueBound::LongBytes:
    case ValueBound::LongText: {
        if (size < kLongValueHeader)
            return 0;
        uint32_t length = 0;
        std::memcpy(&length, raw, sizeof length);
        length &= 0x3FFFFFFFu;
        return bounds_[c] == ValueBound::LongText ? textRoom(length) : length;
    }
    case ValueBound::List: {
        if (size < 4)
            return 0;
        uint32_t key = 0;
        std::memcpy(&key, raw, sizeof key);
        const auto found = sources_[c].lists->lists.find(key);
        return found == sources_[c].lists->lists.end() ? 0 : found->second.size();
    }
    case ValueBound::None: break;
    }
    return 0;
}

bool RowDecoder::decodeColumn(int c, const CrackedRows& rows, size_t first, size_t count)
{
    switch (loops_[static_cast<size_t>(c)]) {
    case ColumnLoop::Boolean: return decodeBoolean(c, rows, first, count);
    case ColumnLoop::Fixed1: return decodeFixed<1>(c, rows, first, count);
    case ColumnLoop::Fixed2: return decodeFixed<2>(c, rows, first, count);
    case ColumnLoop::Fixed4: return decodeFixed<4>(c, rows, first, count);
    case ColumnLoop::Fixed8: return decodeFixed<8>(c, rows, first, count);
    case ColumnLoop::Text: return decodeVariable(c, rows, first, count, true);
    case ColumnLoop::Bytes: return decodeVariable(c, rows, first, count, false);
    case ColumnLoop::LongText: return decodeLong(c, rows, first, count, true);
    case ColumnLoop::LongBytes: return decodeLong(c, rows, first, count, false);
    case ColumnLoop::PerValue: break;
    }
    return decodeEach(c, rows, first, count);
}

// A Null value is zeros; a value stored shorter than its type's width (only a damaged row's) is
// taken with zeros after it; one that lies off its page is Null and counted.
template <size_t Width>
bool RowDecoder::decodeFixed(int c, const CrackedRows& rows, size_t first, size_t count)
{
    uint8_t* values = batch_.column(c).values.extend(count * Width);
    if (!values)
        return false;
    NullFlags nulls(count);
    for (size_t k = 0; k < count; ++k) {
        const size_t r = first + k;
        const CrackedValue value = rows.value(r, static_cast<size_t>(c));
        uint8_t* to = values + k * Width;
        if (value.present() && value.size() >= Width) {
            std::memcpy(to, rows.page(rows.rowPages[r]) + value.start(), Width);
            continue;
        }
        std::memset(to, 0, Width);
        if (value.present()) {
            std::memcpy(to, rows.page(rows.rowPages[r]) + value.start(), value.size());
            continue;
        }
        nulls.set(k);
        if (!value.isNull())
            ++unreadValues_[static_cast<size_t>(c)];
    }
    return batch_.appendNullBits(c, nulls.bits(), static_cast<int64_t>(count));
}

// A Yes/No value lives in the Null mask: never Null itself.
bool RowDecoder::decodeBoolean(int c, const CrackedRows& rows, size_t first, size_t count)
{
    uint8_t* values = batch_.column(c).values.extend(count);
    if (!values)
        return false;
    for (size_t k = 0; k < count; ++k)
        values[k] = rows.value(first + k, static_cast<size_t>(c)).isNull() ? 0 : 1;
    const NullFlags none(count);
    return batch_.appendNullBits(c, none.bits(), static_cast<int64_t>(count));
}

// Text (decoded to UTF-8) and binary values written back to back into room made for all of them.
bool RowDecoder::decodeVariable(int c, const CrackedRows& rows, size_t first, size_t count, bool text)
{
    ColumnData& column = batch_.column(c);
    size_t room = 0;
    for (size_t k = 0; k < count; ++k) {
        const CrackedValue value = rows.value(first + k, static_cast<size_t>(c));
        if (value.present())
            room += text ? textRoom(value.size()) : value.size();
    }
    auto* const base = reinterpret_cast<char*>(column.bytes.room(room));
    if (!base)
        return false;
    NullFlags nulls(count);
    char* at = base;
    const uint64_t start = column.bytes.size();
    uint64_t end = start;
    for (size_t k = 0; k < count; ++k) {
        const CrackedValue value = rows.value(first + k, static_cast<size_t>(c));
        if (!value.present()) {
            nulls.set(k);
            if (!value.isNull())
                ++unreadValues_[static_cast<size_t>(c)];
        } else {
            const uint8_t* raw = rows.page(rows.rowPages[first + k]) + value.start();
            const size_t size = value.size();
            if (!text) {
                std::memcpy(at, raw, size);
                at += size;
            } else {
                at = jet3_ ? writeJet3TextUtf8(jet3Characters_, raw, size, at) : writeJet4TextUtf8(raw, size, at);
            }
        }
        const uint64_t next = start + static_cast<uint64_t>(at - base);
        if (!appendValueEnd(column, column.count + static_cast<int64_t>(k), end, next))
            return false;
        end = next;
    }
    const auto written = static_cast<size_t>(at - base);
    column.bytes.grow(written);
    variableBytes_ += written;
    return batch_.appendNullBits(c, nulls.bits(), static_cast<int64_t>(count));
}

// Memo values decoded to UTF-8, or OLE values copied, from where they lie (see readLongValue()),
// each into room made for it once its length is known; one too short to say where it lies is
// Null and counted, as is one that lies off its page, and one cut short by damage is counted.
bool RowDecoder::decodeLong(int c, const CrackedRows& rows, size_t first, size_t count, bool text)
{
    ColumnData& column = batch_.column(c);
    NullFlags nulls(count);
    const uint64_t start = column.bytes.size();
    uint64_t end = start;
    for (size_t k = 0; k < count; ++k) {
        const CrackedValue value = rows.value(first + k, static_cast<size_t>(c));
        if (!value.present() || value.size() < kLongValueHeader) {
            nulls.set(k);
            if (!value.isNull())
                ++unreadValues_[static_cast<size_t>(c)];
        } else {
            const LongValue read = readLongValue(rows.page(rows.rowPages[first + k]) + value.start(), value.size());
            if (!read.complete)
                ++cutShortValues_[static_cast<size_t>(c)];
            auto* const at = reinterpret_cast<char*>(column.bytes.room(text ? textRoom(read.size) : read.size));
            if (!at)
                return false;
            const char* const stop = !text    ? std::copy_n(reinterpret_cast<const char*>(read.at), read.size, at)
                                     : jet3_ ? writeJet3TextUtf8(jet3Characters_, read.at, read.size, at)
                                             : writeJet4TextUtf8(read.at, read.size, at);
            column.bytes.grow(static_cast<size_t>(stop - at));
        }
        const uint64_t next = column.bytes.size();
        if (!appendValueEnd(column, column.count + static_cast<int64_t>(k), end, next))
            return false;
        end = next;
    }
    variableBytes_ += static_cast<size_t>(end - start);
    return batch_.appendNullBits(c, nulls.bits(), static_cast<int64_t>(count));
}

bool RowDecoder::decodeEach(int c, const CrackedRows& rows, size_t first, size_t count)
{
    for (size_t r = first; r < first + count; ++r) {
        if (!storeValue(c, rows.value(r, static_cast<size_t>(c)), rows.page(rows.rowPages[r])))
            return false;
    }
    return true;
}

}  // namespace varnex::reader
