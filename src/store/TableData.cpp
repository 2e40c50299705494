#include "store/TableData.h"

#include "store/FieldTypes.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace varnex {

namespace {

// Every variable-length column starts with two-byte ends: text and binary values of at most 255
// characters or bytes always fit them, and so do the long values of most memo columns.
bool takesShortEnds(FieldType type)
{
    return isVariableLength(type);
}

// A short-ended column whose run outgrew two bytes: its ends again, at four bytes each.
bool widenEnds(ColumnData& column)
{
    const int64_t rows = static_cast<int64_t>(column.values.size() / sizeof(uint16_t));
    std::vector<uint64_t> ends(static_cast<size_t>(rows));
    for (int64_t r = 0; r < rows; ++r)
        ends[static_cast<size_t>(r)] = column.valueEnd(r);
    const uint64_t first = column.runStarts.empty() ? 0 : column.runStarts.front();
    column.values.resetSize();
    column.runStarts.clear();
    column.shortEnds = false;
    for (int64_t r = 0; r < rows; ++r) {
        if (!appendValueEnd(column, r, r == 0 ? first : ends[static_cast<size_t>(r - 1)], ends[static_cast<size_t>(r)]))
            return false;
    }
    return true;
}

bool isNullAt(const ColumnData& column, int64_t row)
{
    return (column.nulls.data()[static_cast<size_t>(row) >> 3] >> (row & 7)) & 1;
}

// The first value of a DateSeconds column lies in the middle of the four bytes' reach.
constexpr int64_t kDateReach = int64_t{1} << 31;

// A DateSeconds column's values again as eight-byte doubles, Null rows as zeros; in place, from
// the last row back, as each double lies at or past the four bytes it is made from.
bool widenDates(ColumnData& column)
{
    const size_t rows = column.values.size() / sizeof(uint32_t);
    if (!column.values.extend(rows * sizeof(uint32_t)))
        return false;
    uint8_t* values = column.values.data();
    for (size_t r = rows; r-- > 0;) {
        uint32_t stored;
        std::memcpy(&stored, values + r * sizeof stored, sizeof stored);
        const double date = isNullAt(column, static_cast<int64_t>(r)) ? 0.0 : dateOfSeconds(column.base.value_or(0) + stored);
        std::memcpy(values + r * sizeof date, &date, sizeof date);
    }
    column.form = ValueForm::AsRead;
    column.base.reset();
    return true;
}

bool appendDateValue(ColumnData& column, double date)
{
    if (column.form == ValueForm::DateSeconds) {
        const std::optional<int64_t> seconds = secondsOfDate(date);
        if (seconds && !column.base)
            column.base = *seconds - kDateReach;
        if (seconds && *seconds >= *column.base && *seconds - *column.base <= UINT32_MAX) {
            const auto stored = static_cast<uint32_t>(*seconds - *column.base);
            return column.values.append(&stored, sizeof stored);
        }
        if (!widenDates(column))
            return false;
    }
    return column.values.append(&date, sizeof date);
}

// A CountingUp column's first rows (those before row) again as four-byte values, Null rows as zeros.
bool widenCount(ColumnData& column, int64_t rows)
{
    for (int64_t r = 0; r < rows; ++r) {
        const int32_t value = isNullAt(column, r) ? 0 : static_cast<int32_t>(column.base.value_or(0) + r);
        if (!column.values.append(&value, sizeof value))
            return false;
    }
    column.form = ValueForm::AsRead;
    column.base.reset();
    return true;
}

bool appendCountValue(ColumnData& column, int64_t row, int32_t value)
{
    if (column.form == ValueForm::CountingUp) {
        if (!column.base)
            column.base = int64_t{value} - row;
        if (int64_t{value} == *column.base + row)
            return true;
        if (!widenCount(column, row))
            return false;
    }
    return column.values.append(&value, sizeof value);
}

// Of n Date values of rows firstRow on, appends those up to the first that does not fit the
// column's DateSeconds form; how many it took, or none when memory runs out.
std::optional<size_t> appendFittingSeconds(ColumnData& column, int64_t firstRow, const uint8_t* values, size_t n)
{
    constexpr size_t kStep = 1024;
    uint32_t stored[kStep];
    int64_t seconds[kStep];
    uint8_t exact[kStep];
    size_t done = 0;
    while (done < n) {
        const size_t most = std::min(n - done, kStep);
        secondsOfDates(values + done * sizeof(double), most, seconds, exact);
        size_t fitted = 0;
        for (; fitted < most; ++fitted) {
            const int64_t row = firstRow + static_cast<int64_t>(done + fitted);
            stored[fitted] = 0;
            if (isNullAt(column, row))
                continue;
            if (exact[fitted] && !column.base)
                column.base = seconds[fitted] - kDateReach;
            if (!exact[fitted] || seconds[fitted] < *column.base || seconds[fitted] - *column.base > UINT32_MAX)
                break;
            stored[fitted] = static_cast<uint32_t>(seconds[fitted] - *column.base);
        }
        if (!column.values.append(stored, fitted * sizeof stored[0]))
            return std::nullopt;
        done += fitted;
        if (fitted < most)
            break;
    }
    return done;
}

// Of n Long Integer values of rows firstRow on, takes those up to the first that does not go on
// counting; how many.
size_t takeCounting(ColumnData& column, int64_t firstRow, const uint8_t* values, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        const int64_t row = firstRow + static_cast<int64_t>(i);
        if (isNullAt(column, row))
            continue;
        int32_t value;
        std::memcpy(&value, values + i * sizeof value, sizeof value);
        if (!column.base)
            column.base = int64_t{value} - row;
        if (int64_t{value} != *column.base + row)
            return i;
    }
    return n;
}

ValueForm formFor(const ColumnInfo& info, bool compactValues)
{
    if (!compactValues)
        return ValueForm::AsRead;
    switch (info.type) {
    case FieldType::Date: return ValueForm::DateSeconds;
    case FieldType::Integer: return ValueForm::CountingUp;
    default: return ValueForm::AsRead;
    }
}

}  // namespace

bool appendFixedValue(ColumnData& column, int64_t row, const void* value)
{
    switch (column.form) {
    case ValueForm::DateSeconds: {
        double date;
        std::memcpy(&date, value, sizeof date);
        return appendDateValue(column, date);
    }
    case ValueForm::CountingUp: {
        int32_t number;
        std::memcpy(&number, value, sizeof number);
        return appendCountValue(column, row, number);
    }
    default: return column.values.append(value, static_cast<size_t>(fixedWidth(column.info.type)));
    }
}

bool appendFixedValues(ColumnData& column, int64_t firstRow, const uint8_t* values, size_t n)
{
    const auto width = static_cast<size_t>(fixedWidth(column.info.type));
    size_t done = 0;
    while (done < n) {
        if (column.form == ValueForm::AsRead)
            return column.values.append(values + done * width, (n - done) * width);
        const int64_t row = firstRow + static_cast<int64_t>(done);
        const std::optional<size_t> fitted = column.form == ValueForm::DateSeconds
                                                 ? appendFittingSeconds(column, row, values + done * width, n - done)
                                                 : takeCounting(column, row, values + done * width, n - done);
        if (!fitted)
            return false;
        done += *fitted;
        if (done == n)
            break;
        // The first value that does not fit, which widens the column.
        if (!appendFixedValue(column, firstRow + static_cast<int64_t>(done), values + done * width))
            return false;
        ++done;
    }
    return true;
}

void TableData::copyFixedValue(int64_t row, int column, void* out) const
{
    const ColumnData& c = columns_[static_cast<size_t>(column)];
    if (c.form == ValueForm::DateSeconds) {
        const double date = dateValue(row, column);
        std::memcpy(out, &date, sizeof date);
    } else if (c.form == ValueForm::CountingUp) {
        const int32_t value = integerValue(row, column);
        std::memcpy(out, &value, sizeof value);
    } else {
        const auto width = static_cast<size_t>(fixedWidth(c.info.type));
        std::memcpy(out, c.values.data() + static_cast<size_t>(row) * width, width);
    }
}

bool appendNullValue(ColumnData& column)
{
    const size_t width = column.valueWidth();
    uint8_t* at = column.values.extend(width);
    if (!at)
        return false;
    std::memset(at, 0, width);
    return true;
}

bool TableData::putInForm(ColumnData& column, const void* value)
{
    return appendNullFlag(column, false) && appendFixedValue(column, column.count - 1, value);
}

void TableData::keepValuesCompact()
{
    compactValues_ = true;
    for (ColumnData& c : columns_) {
        if (c.count == 0)
            c.form = formFor(c.info, true);
    }
}

TableData::TableData(const std::vector<ColumnInfo>& columns)
{
    columns_.resize(columns.size());
    for (size_t i = 0; i < columns.size(); ++i) {
        columns_[i].info = columns[i];
        columns_[i].shortEnds = takesShortEnds(columns[i].type);
    }
}

bool appendValueEndSlowly(ColumnData& column, int64_t row, uint64_t start, uint64_t end)
{
    const bool startsRun = (row & ((int64_t{1} << column.endRunBits()) - 1)) == 0;
    if (startsRun)
        column.runStarts.push_back(start);
    const uint64_t inRun = end - column.runStarts.back();
    if (column.shortEnds) {
        if (inRun > UINT16_MAX) {
            if (startsRun)
                column.runStarts.pop_back();
            return widenEnds(column) && appendValueEnd(column, row, start, end);
        }
        const auto stored = static_cast<uint16_t>(inRun);
        return column.values.append(&stored, sizeof stored);
    }
    if (inRun > UINT32_MAX)
        return false;
    const auto stored = static_cast<uint32_t>(inRun);
    return column.values.append(&stored, sizeof stored);
}

void clearUnusedNullBits(ColumnData& column)
{
    if (column.count % 8 == 0)
        return;
    // Written only where it changes, so that a page of a column without Nulls stays untouched.
    uint8_t& last = column.nulls.data()[column.count / 8];
    const auto kept = static_cast<uint8_t>(last & ((1u << (column.count % 8)) - 1));
    if (kept != last)
        last = kept;
}

bool TableData::appendNullBits(int column, const uint8_t* bits, int64_t n)
{
    ColumnData& c = columns_[static_cast<size_t>(column)];
    if (c.count % 8 == 0) {
        const auto bytes = static_cast<size_t>((n + 7) / 8);
        if (!c.nulls.appendLeavingZeros(bits, bytes))
            return false;
        c.count += n;
        clearUnusedNullBits(c);
        return true;
    }
    // The column's last byte is partly filled (its unused bits clear): each byte of the new
    // flags goes shifted into it and the next.
    const auto shift = static_cast<unsigned>(c.count % 8);
    const auto total = static_cast<size_t>((c.count + n + 7) / 8);
    const size_t more = total - c.nulls.size();
    if (more > 0) {
        uint8_t* added = c.nulls.extend(more);
        if (!added)
            return false;
        std::memset(added, 0, more);
    }
    uint8_t* to = c.nulls.data() + c.count / 8;
    const auto bytes = static_cast<size_t>((n + 7) / 8);
    for (size_t i = 0; i < bytes; ++i) {
        const unsigned flags = bits[i];
        to[i] |= static_cast<uint8_t>(flags << shift);
        if (i + 1 < total - static_cast<size_t>(c.count / 8))
            to[i + 1] |= static_cast<uint8_t>(flags >> (8 - shift));
    }
    c.count += n;
    clearUnusedNullBits(c);
    return true;
}

bool TableData::putNull(int column)
{
    ColumnData& c = columns_[static_cast<size_t>(column)];
    if (!appendNullFlag(c, true))
        return false;
    if (isVariableLength(c.info.type))
        return appendValueEnd(c, c.count - 1, c.bytes.size(), c.bytes.size());
    return appendNullValue(c);
}

bool TableData::putBytes(int column, const void* bytes, size_t length)
{
    ColumnData& c = columns_[static_cast<size_t>(column)];
    const uint64_t start = c.bytes.size();
    return appendNullFlag(c, false) && c.bytes.append(bytes, length) && appendValueEnd(c, c.count - 1, start, c.bytes.size());
}

bool TableData::putWrittenBytes(int column, size_t length)
{
    ColumnData& c = columns_[static_cast<size_t>(column)];
    const uint64_t start = c.bytes.size();
    c.bytes.grow(length);
    return appendNullFlag(c, false) && appendValueEnd(c, c.count - 1, start, c.bytes.size());
}

bool TableData::appendBytes(int column, const void* bytes, size_t length)
{
    ColumnData& c = columns_[static_cast<size_t>(column)];
    const int64_t row = c.count - 1;
    const uint64_t start = c.valueStart(row);
    if (!c.bytes.append(bytes, length))
        return false;
    // The row's end again: drop it and record it anew, which widens the ends where needed.
    c.values.resetSize(c.values.size() - c.valueWidth());
    if ((row & ((int64_t{1} << c.endRunBits()) - 1)) == 0)
        c.runStarts.pop_back();
    return appendValueEnd(c, row, start, c.bytes.size());
}

bool TableData::takeRows(TableData& other)
{
    for (size_t i = 0; i < columns_.size(); ++i) {
        ColumnData& to = columns_[i];
        ColumnData& from = other.columns_[i];
        if (!appendNullBits(static_cast<int>(i), from.nulls.data(), from.count))
            return false;
        if (isVariableLength(to.info.type)) {
            const uint64_t base = to.bytes.size();
            const int64_t firstRow = to.count - from.count;  // the Null flags are in already
            if (!to.bytes.append(from.bytes.data(), from.bytes.size()))
                return false;
            for (int64_t r = 0; r < from.count; ++r) {
                const std::string_view value = other.bytesValue(r, static_cast<int>(i));
                const uint64_t start = base + static_cast<uint64_t>(value.data() - reinterpret_cast<const char*>(from.bytes.data()));
                if (!appendValueEnd(to, firstRow + r, start, start + value.size()))
                    return false;
            }
        } else if (to.form != ValueForm::AsRead || from.form != ValueForm::AsRead) {
            const int64_t firstRow = to.count - from.count;
            uint8_t value[17];  // the widest fixed value
            for (int64_t r = 0; r < from.count; ++r) {
                const bool isNull = isNullAt(to, firstRow + r);
                if (!isNull)
                    other.copyFixedValue(r, static_cast<int>(i), value);
                if (!(isNull ? appendNullValue(to) : appendFixedValue(to, firstRow + r, value)))
                    return false;
            }
        } else if (!to.values.append(from.values.data(), from.values.size())) {
            return false;
        }
    }
    rows_ += other.rows_;
    other.clearRows();
    return true;
}

void TableData::clearRows()
{
    for (ColumnData& c : columns_) {
        c.nulls.resetSize();
        c.values.resetSize();
        c.bytes.resetSize();
        c.runStarts.clear();
        c.shortEnds = takesShortEnds(c.info.type);
        c.form = formFor(c.info, compactValues_);
        c.base.reset();
        c.count = 0;
    }
    rows_ = 0;
}

bool TableData::reserveRows(int64_t rows)
{
    const auto more = static_cast<size_t>(rows);
    for (ColumnData& c : columns_) {
        const size_t width = c.valueWidth();
        if (!c.nulls.reserve(c.nulls.size() + more / 8 + 1) || !c.values.reserve(c.values.size() + more * width))
            return false;
    }
    return true;
}

void TableData::prefetch(int64_t row, bool bytes) const
{
    for (int c = 0; c < columnCount(); ++c)
        prefetch(row, c, bytes);
}

void TableData::prefetch(int64_t row, int column, bool bytes) const
{
    const ColumnData& c = columns_[static_cast<size_t>(column)];
    const bool variable = isVariableLength(c.info.type);
    if (bytes) {
        if (variable)
            __builtin_prefetch(c.bytes.data() + c.valueStart(row));
        return;
    }
    __builtin_prefetch(c.nulls.data() + row / 8);
    __builtin_prefetch(c.values.data() + static_cast<size_t>(row) * c.valueWidth());
    if (variable)
        __builtin_prefetch(&c.runStarts[static_cast<size_t>(row >> c.endRunBits())]);
}

size_t TableData::byteSize() const
{
    size_t total = 0;
    for (const ColumnData& c : columns_)
        total += c.nulls.size() + c.values.size() + c.bytes.size() + c.runStarts.size() * sizeof(uint64_t);
    return total;
}

int TableData::columnIndex(const QString& name) const
{
    for (int c = 0; c < columnCount(); ++c) {
        if (info(c).name.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

}  // namespace varnex
