#include "reader/RowCracker.h"
#include "reader/LittleEndian.h"

#include <algorithm>

namespace varnex::reader {

RowCracker::RowCracker(std::vector<RowColumn> columns, const std::vector<unsigned>& delivered, bool jet3,
                       bool variableLength)
    : columns_(std::move(columns)), deliveredAs_(columns_.size(), -1), jet3_(jet3), hasVariable_(variableLength)
{
    for (size_t d = 0; d < delivered.size(); ++d) {
        if (delivered[d] < columns_.size())
            deliveredAs_[delivered[d]] = static_cast<int>(d);
    }
    const uint32_t countSize = jet3_ ? 1 : 2;
    for (size_t c = 0; c < columns_.size(); ++c) {
        const RowColumn& column = columns_[c];
        maskBytesNeeded_ = std::max<uint32_t>(maskBytesNeeded_, column.number / 8u + 1);
        const auto d = static_cast<uint32_t>(deliveredAs_[c]);
        if (column.fixed) {
            ++fixedCount_;
            fixedBytesNeeded_ = std::max<uint32_t>(fixedBytesNeeded_, countSize + column.fixedOffset + column.size);
            if (deliveredAs_[c] >= 0)
                fixedPlaced_.push_back({column.number, countSize + column.fixedOffset, column.size, d});
        } else {
            startsNeeded_ = std::max<uint32_t>(startsNeeded_, column.varNumber + 1u);
            variableEnds_.push_back(column.varNumber + 1u);
            if (deliveredAs_[c] >= 0)
                variablePlaced_.push_back({column.number, column.varNumber, 0, d});
        }
    }
}

bool RowCracker::crack(const uint8_t* page, uint32_t pageSize, uint32_t start, uint32_t length, uint32_t* values)
{
    const uint32_t countSize = jet3_ ? 1 : 2;
    if (length < countSize || start > pageSize || pageSize - start < length)
        return false;
    const uint8_t* row = page + start;
    const uint32_t rowColumns = jet3_ ? row[0] : readU16(row);
    const uint32_t maskSize = (rowColumns + 7) / 8;
    if (length < countSize + maskSize)
        return false;
    variableCount_ = 0;
    if (hasVariable_ && !readVariableStarts(row, length, maskSize))
        return false;

    const uint8_t* mask = row + length - maskSize;
    if (holdsWhole(rowColumns, length, maskSize))
        return crackWhole(mask, start, length, pageSize, values);
    return crackColumnByColumn(mask, start, length, rowColumns, maskSize, pageSize, values);
}

// Whether the row holds every column of the definition, each fixed value within it: as every
// sound row of a table whose columns were not changed since does.
bool RowCracker::holdsWhole(uint32_t rowColumns, uint32_t length, uint32_t maskSize) const
{
    const uint32_t rowFixed = rowColumns - variableCount_;  // as libmdb counts them, wrapping
    return fixedCount_ <= rowFixed && startsNeeded_ <= variableCount_ && maskBytesNeeded_ <= maskSize &&
           fixedBytesNeeded_ <= length;
}

// What crackColumnByColumn() does for such a row, with the checks it makes of each column worked
// out once, but for where each variable-length value ends.
bool RowCracker::crackWhole(const uint8_t* mask, uint32_t start, uint32_t length, uint32_t pageSize, uint32_t* values) const
{
    for (const uint32_t end : variableEnds_) {
        if (variableStart(end) > length)
            return false;
    }
    const auto isNull = [mask](uint32_t number) { return ((mask[number / 8u] >> (number % 8u)) & 1u) == 0; };
    for (const Placed& column : fixedPlaced_)
        values[column.delivered] =
            CrackedValue::place(static_cast<int>(start + column.at), static_cast<int>(column.size), isNull(column.number), pageSize);
    for (const Placed& column : variablePlaced_) {
        const uint32_t from = variableStart(column.at);
        values[column.delivered] = CrackedValue::place(static_cast<int>(start + from), static_cast<int>(variableStart(column.at + 1u) - from),
                                                       isNull(column.number), pageSize);
    }
    return true;
}

bool RowCracker::crackColumnByColumn(const uint8_t* mask, uint32_t start, uint32_t length, uint32_t rowColumns, uint32_t maskSize,
                                     uint32_t pageSize, uint32_t* values) const
{
    const uint32_t countSize = jet3_ ? 1 : 2;
    const uint32_t rowFixed = rowColumns - variableCount_;  // as libmdb counts them, wrapping
    uint32_t fixedFound = 0;
    const auto rowEnd = static_cast<int64_t>(start) + length;
    for (size_t c = 0; c < columns_.size(); ++c) {
        const RowColumn& column = columns_[c];
        const bool present = column.fixed ? fixedFound < rowFixed : column.varNumber < variableCount_;
        int valueStart = 0;
        int valueSize = 0;
        bool null = true;
        if (present) {
            const uint32_t byte = column.number / 8u;
            if (byte >= maskSize)
                return false;  // a value whose Null flag lies past the row's mask
            null = ((mask[byte] >> (column.number % 8u)) & 1u) == 0;
            if (column.fixed) {
                valueStart = static_cast<int>(start + countSize + column.fixedOffset);
                valueSize = column.size;
                ++fixedFound;
            } else {
                const uint32_t from = variableStart(column.varNumber);
                valueStart = static_cast<int>(start + from);
                valueSize = static_cast<int>(variableStart(column.varNumber + 1u) - from);  // may wrap below zero
            }
        }
        const int64_t valueEnd = int64_t{valueStart} + valueSize;
        if (valueEnd < 0 || valueEnd > rowEnd)
            return false;
        if (const int d = deliveredAs_[c]; d >= 0)
            values[d] = CrackedValue::place(valueStart, valueSize, null, pageSize);
    }
    return true;
}

// The starts sit before the count of variable-length columns, the last first and the end of
// the last value before them. In Jet 3 they are single bytes: a table of jumps (before the
// count) lists the columns from which each further 256 bytes are added; a row keeps one jump
// more than its starts need when its length alone calls for it.
bool RowCracker::readVariableStarts(const uint8_t* row, uint32_t length, uint32_t maskSize)
{
    const uint32_t last = length - 1;
    if (!jet3_) {
        if (length < 4 + maskSize)
            return false;
        const uint32_t count = readU16(row + last - maskSize - 1);
        // The starts, two bytes each and one more than the columns, after the column count.
        if (uint64_t{maskSize} + 5 + 2 * uint64_t{count} > last)
            return false;
        jet4Starts_ = row + last - maskSize - 3;
        variableCount_ = count;
        return true;
    }
    if (length < 2 + maskSize)
        return false;
    const uint32_t count = row[last - maskSize];
    uint32_t jumps = (length - 1) / 256;
    // Unsigned arithmetic throughout, as libmdb computes it: where the starts end before the jumps.
    const uint32_t startsAt = last - maskSize - jumps - 1;
    if (uint64_t{maskSize} + jumps + 1 + count + 1 > last)
        return false;
    if ((startsAt - count) / 256 < jumps)
        --jumps;
    starts_.resize(count + 1u);
    uint32_t jumpsUsed = 0;
    for (uint32_t i = 0; i <= count; ++i) {
        while (jumpsUsed < jumps && i == row[last - maskSize - jumpsUsed - 1])
            ++jumpsUsed;
        starts_[i] = row[startsAt - i] + jumpsUsed * 256;
    }
    variableCount_ = count;
    return true;
}

}  // namespace varnex::reader
