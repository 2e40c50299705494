#include "jetwriter/RowEncoder.h"

#include "jetwriter/ByteOrder.h"
#include "jetwriter/CalculatedValue.h"
#include "jetwriter/TextCodec.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace jetwriter {
namespace {

constexpr size_t kMaxCompressedMemoChars = 1024;
constexpr size_t kJumpSpan = 256;

[[noreturn]] void mismatch(const ColumnLayout& column, const char* what)
{
    throw std::runtime_error("column " + column.column.name + ": " + what);
}

int64_t integerIn(const ColumnLayout& column, const Cell& cell, int64_t low, int64_t high)
{
    int64_t value = 0;
    if (const auto* i = std::get_if<int64_t>(&cell))
        value = *i;
    else if (const auto* b = std::get_if<bool>(&cell))
        value = *b ? 1 : 0;
    else
        mismatch(column, "needs an integer");
    if (value < low || value > high)
        mismatch(column, "integer out of range");
    return value;
}

double realOf(const ColumnLayout& column, const Cell& cell)
{
    if (const auto* d = std::get_if<double>(&cell))
        return *d;
    if (const auto* i = std::get_if<int64_t>(&cell))
        return static_cast<double>(*i);
    if (const auto* t = std::get_if<DateValue>(&cell))
        return t->days;
    mismatch(column, "needs a number");
}

int64_t currencyOf(const ColumnLayout& column, const Cell& cell)
{
    if (const auto* c = std::get_if<CurrencyValue>(&cell))
        return c->scaled;
    if (const auto* i = std::get_if<int64_t>(&cell)) {
        if (*i > std::numeric_limits<int64_t>::max() / 10000 || *i < std::numeric_limits<int64_t>::min() / 10000)
            mismatch(column, "currency out of range");
        return *i * 10000;
    }
    const double scaled = std::round(realOf(column, cell) * 10000.0);
    if (!(std::fabs(scaled) < 9.2e18))
        mismatch(column, "currency out of range");
    return static_cast<int64_t>(scaled);
}

bool truthOf(const Cell& cell)
{
    if (const auto* b = std::get_if<bool>(&cell))
        return *b;
    if (const auto* i = std::get_if<int64_t>(&cell))
        return *i != 0;
    return false;
}

GuidValue guidOf(const ColumnLayout& column, const Cell& cell)
{
    if (const auto* g = std::get_if<GuidValue>(&cell))
        return *g;
    if (const auto* s = std::get_if<std::string>(&cell))
        if (auto parsed = parseGuid(*s))
            return *parsed;
    mismatch(column, "needs a GUID");
}

// 42 ASCII bytes: days since 0001-01-01 (19 digits), ':', seconds into the day (12 digits), 100 ns ticks
// (7 digits), then ":7" and a zero byte.
void putExtendedDate(const ColumnLayout& column, const Cell& cell, uint8_t* at)
{
    const auto* value = std::get_if<ExtendedDateValue>(&cell);
    if (!value)
        mismatch(column, "needs an extended date/time");
    constexpr int64_t kTicksPerDay = 864000000000;
    constexpr int64_t kLastDay = 3652058;  // 9999-12-31
    if (value->days < 0 || value->days > kLastDay || value->ticks < 0 || value->ticks >= kTicksPerDay)
        mismatch(column, "extended date/time out of range");
    // The checks above keep the text at 41 characters; gcc cannot tell, and the room it asks for costs nothing.
    char text[64];
    std::snprintf(text, sizeof text, "%019lld:%012lld%07lld:7", static_cast<long long>(value->days),
                  static_cast<long long>(value->ticks / 10000000), static_cast<long long>(value->ticks % 10000000));
    std::memcpy(at, text, 42);  // the terminating zero is the 42nd byte
}

using U128 = Uint128;

U128 powerOfTen(int exponent)
{
    U128 value = 1;
    for (int k = 0; k < exponent; ++k)
        value *= 10;
    return value;
}

// Sign byte, then the 128-bit mantissa as four 32-bit words, most significant word first,
// each word little-endian.
void putDecimal(const ColumnLayout& column, const Cell& cell, uint8_t* at)
{
    DecimalValue value{};
    if (const auto* d = std::get_if<DecimalValue>(&cell))
        value = *d;
    else if (const auto* i = std::get_if<int64_t>(&cell))
        value = DecimalValue{*i < 0, static_cast<U128>(*i < 0 ? -static_cast<U128>(*i) : static_cast<U128>(*i)), 0};
    else
        mismatch(column, "needs a decimal");
    if (value.scale > column.column.scale || value.scale < 0)
        mismatch(column, "decimal has more places than the column");
    const U128 limit = powerOfTen(column.column.precision);
    const U128 factor = powerOfTen(column.column.scale - value.scale);
    if (value.mantissa >= limit || value.mantissa * factor >= limit)
        mismatch(column, "decimal has more digits than the column");
    const U128 mantissa = value.mantissa * factor;
    at[0] = value.negative && mantissa != 0 ? 0x80 : 0x00;
    for (int word = 0; word < 4; ++word)
        putU32(at + 1 + 4 * word, static_cast<uint32_t>(mantissa >> (32 * (3 - word))));
}

}  // namespace

RowEncoder::RowEncoder(const FormatInfo& info, const TableLayout& layout, LongValueStore& longValues)
    : info_(info), layout_(layout), longValues_(longValues), varOffsets_(layout.varCount)
{
}

const std::vector<uint8_t>& RowEncoder::encode(const Row& row)
{
    const size_t count = layout_.columns.size();
    if (row.size() != count)
        throw std::runtime_error("row has " + std::to_string(row.size()) + " cells for " + std::to_string(count) +
                                 " columns");
    row_.clear();
    if (info_.jet4)
        appendU16(row_, static_cast<uint32_t>(count));
    else
        appendU8(row_, static_cast<uint32_t>(count));
    fixedStart_ = row_.size();
    row_.resize(fixedStart_ + layout_.fixedSize, 0);
    nullMask_.assign((count + 7) / 8, 0);
    for (size_t i = 0; i < count; ++i) {
        const ColumnLayout& column = layout_.columns[i];
        const Cell& cell = row[i];
        // A calculated column keeps even a Null result (as an empty one); Yes/No keeps its value in the mask.
        const bool inMask = column.column.type == ColumnType::YesNo && !column.calculated;
        const bool present = column.calculated || (inMask ? truthOf(cell) : !std::holds_alternative<Null>(cell));
        if (present)
            nullMask_[i / 8] = static_cast<uint8_t>(nullMask_[i / 8] | (1u << (i % 8)));
        if (!column.fixed)
            varOffsets_[column.varIndex] = static_cast<uint16_t>(std::min<size_t>(row_.size(), 0xFFFF));
        if (!present || inMask)
            continue;
        if (column.calculated)
            appendCalculated(column, cell);
        else if (column.fixed)
            putFixed(column, cell, row_.data() + fixedStart_ + column.fixedOffset);
        else
            appendVariable(column, cell);
    }
    if (info_.jet4)
        finishJet4();
    else
        finishJet3();
    return row_;
}

void RowEncoder::putFixed(const ColumnLayout& column, const Cell& cell, uint8_t* at) const
{
    switch (column.column.type) {
    case ColumnType::Byte:
        at[0] = static_cast<uint8_t>(integerIn(column, cell, 0, 255));
        break;
    case ColumnType::Integer:
        putU16(at, static_cast<uint32_t>(integerIn(column, cell, -32768, 32767)));
        break;
    case ColumnType::Long:
        putU32(at, static_cast<uint32_t>(integerIn(column, cell, std::numeric_limits<int32_t>::min(),
                                                   std::numeric_limits<int32_t>::max())));
        break;
    case ColumnType::Single: {
        const auto value = static_cast<float>(realOf(column, cell));
        std::memcpy(at, &value, sizeof value);
        break;
    }
    case ColumnType::Double:
    case ColumnType::DateTime: {
        const double value = realOf(column, cell);
        std::memcpy(at, &value, sizeof value);
        break;
    }
    case ColumnType::Currency:
        putU64(at, static_cast<uint64_t>(currencyOf(column, cell)));
        break;
    case ColumnType::Guid: {
        const GuidValue guid = guidOf(column, cell);
        std::memcpy(at, guid.bytes, sizeof guid.bytes);
        break;
    }
    case ColumnType::Decimal:
        putDecimal(column, cell, at);
        break;
    case ColumnType::DateTimeExtended:
        putExtendedDate(column, cell, at);
        break;
    case ColumnType::Unknown:
        std::memcpy(at, unknownBytes(column, cell).data(), static_cast<size_t>(column.column.size));
        break;
    default:
        mismatch(column, "is not a fixed-length column");
    }
}

const std::vector<uint8_t>& RowEncoder::unknownBytes(const ColumnLayout& column, const Cell& cell) const
{
    const auto* bytes = std::get_if<Bytes>(&cell);
    if (!bytes || (column.fixed && bytes->data.size() != static_cast<size_t>(column.column.size)))
        mismatch(column, "needs bytes of its size");
    return bytes->data;
}

std::vector<uint8_t> RowEncoder::calculatedResult(const ColumnLayout& column, const Cell& cell) const
{
    switch (column.column.type) {
    case ColumnType::Text:
    case ColumnType::Memo: {
        const auto* text = std::get_if<std::string>(&cell);
        if (!text)
            mismatch(column, "needs text");
        return textBytes(column, *text, column.column.type == ColumnType::Text);
    }
    case ColumnType::YesNo:
        return {static_cast<uint8_t>(truthOf(cell) ? 0xFF : 0x00)};
    case ColumnType::Decimal: {
        const auto* value = std::get_if<DecimalValue>(&cell);
        if (!value)
            mismatch(column, "needs a decimal");
        return calculatedDecimal(*value);
    }
    default: {
        const int size = fixedBytes(column.column.type);
        if (size <= 0)
            mismatch(column, "has no calculated form");
        std::vector<uint8_t> value(static_cast<size_t>(size));
        putFixed(column, cell, value.data());
        return value;
    }
    }
}

void RowEncoder::appendCalculated(const ColumnLayout& column, const Cell& cell)
{
    const std::vector<uint8_t> wrapped =
        wrapCalculated(std::holds_alternative<Null>(cell) ? std::vector<uint8_t>() : calculatedResult(column, cell));
    if (column.column.type == ColumnType::Memo)
        longValues_.append(wrapped, row_);
    else
        appendBytes(row_, wrapped.data(), wrapped.size());
}

std::vector<uint8_t> RowEncoder::textBytes(const ColumnLayout& column, const std::string& text, bool allowCompression) const
{
    const std::u16string units = utf8ToUtf16(text);
    if (column.column.type == ColumnType::Text && units.size() > static_cast<size_t>(column.column.size))
        mismatch(column, "text longer than the column");
    if (!info_.jet4)
        return toCp1252(units);
    const bool compress = allowCompression && (column.column.type == ColumnType::Text || units.size() <= kMaxCompressedMemoChars);
    return toJet4Text(units, compress);
}

void RowEncoder::appendVariable(const ColumnLayout& column, const Cell& cell)
{
    const auto* text = std::get_if<std::string>(&cell);
    const auto* bytes = std::get_if<Bytes>(&cell);
    switch (column.column.type) {
    case ColumnType::Text: {
        if (!text)
            mismatch(column, "needs text");
        const auto encoded = textBytes(column, *text, true);
        appendBytes(row_, encoded.data(), encoded.size());
        break;
    }
    case ColumnType::Memo:
        if (!text)
            mismatch(column, "needs text");
        longValues_.append(textBytes(column, *text, true), row_);
        break;
    case ColumnType::Ole:
        if (bytes)
            longValues_.append(bytes->data, row_);
        else if (text)
            longValues_.append(std::vector<uint8_t>(text->begin(), text->end()), row_);
        else
            mismatch(column, "needs bytes");
        break;
    case ColumnType::Long: {  // a complex-value key in a hidden table
        uint8_t value[4];
        putU32(value, static_cast<uint32_t>(integerIn(column, cell, std::numeric_limits<int32_t>::min(),
                                                      std::numeric_limits<int32_t>::max())));
        appendBytes(row_, value, sizeof value);
        break;
    }
    case ColumnType::Unknown: {
        const std::vector<uint8_t>& data = unknownBytes(column, cell);
        appendBytes(row_, data.data(), data.size());
        break;
    }
    case ColumnType::Binary: {
        if (!bytes)
            mismatch(column, "needs bytes");
        if (bytes->data.size() > static_cast<size_t>(column.column.size))
            mismatch(column, "binary value longer than the column");
        appendBytes(row_, bytes->data.data(), bytes->data.size());
        break;
    }
    default:
        mismatch(column, "is not a variable-length column");
    }
}

// Tail: end-of-data offset, the offset table from last column to first, the column count, the null mask.
void RowEncoder::finishJet4()
{
    if (layout_.varCount > 0) {
        if (row_.size() > 0xFFFF)
            throw std::runtime_error("row too large");
        appendU16(row_, static_cast<uint32_t>(row_.size()));
        for (size_t k = varOffsets_.size(); k-- > 0;)
            appendU16(row_, varOffsets_[k]);
        appendU16(row_, layout_.varCount);
    }
    appendBytes(row_, nullMask_.data(), nullMask_.size());
}

// Jet 3 offsets are single bytes; a jump table names, for each 256-byte boundary, the first offset-table
// entry at or past it. Readers derive the jump count from the row length and drop a trailing 0xFF dummy,
// so pick the count (and, rarely, padding before the variable data) that makes both agree.
void RowEncoder::finishJet3()
{
    if (layout_.varCount == 0) {
        appendBytes(row_, nullMask_.data(), nullMask_.size());
        return;
    }
    const size_t varCount = layout_.varCount;
    const size_t tail = (varCount + 1) + 1 + nullMask_.size();
    size_t pad = 0;
    size_t jumps = 0;
    for (;; ++pad) {
        const size_t end = row_.size() + pad;
        const size_t needed = end / kJumpSpan;
        if ((end + tail + needed - 1) / kJumpSpan == needed) { jumps = needed; break; }
        if ((end + tail + needed) / kJumpSpan == needed + 1) { jumps = needed + 1; break; }
    }
    if (pad > 0) {
        const size_t varStart = fixedStart_ + layout_.fixedSize;
        row_.insert(row_.begin() + static_cast<std::ptrdiff_t>(varStart), pad, 0);
        for (auto& offset : varOffsets_)
            offset = static_cast<uint16_t>(offset + pad);
    }
    std::vector<size_t> entries(varOffsets_.begin(), varOffsets_.end());
    entries.push_back(row_.size());  // end of data is the last entry
    const size_t needed = row_.size() / kJumpSpan;
    for (size_t k = entries.size(); k-- > 0;)
        appendU8(row_, static_cast<uint32_t>(entries[k] & 0xFF));
    std::vector<uint8_t> jumpTable;
    for (size_t boundary = 1; boundary <= needed; ++boundary) {
        size_t first = 0;
        while (entries[first] < boundary * kJumpSpan)
            ++first;
        jumpTable.push_back(static_cast<uint8_t>(first));
    }
    if (jumps > needed)
        appendU8(row_, 0xFF);
    for (size_t k = jumpTable.size(); k-- > 0;)
        appendU8(row_, jumpTable[k]);
    appendU8(row_, static_cast<uint32_t>(varCount));
    appendBytes(row_, nullMask_.data(), nullMask_.size());
}

}  // namespace jetwriter
