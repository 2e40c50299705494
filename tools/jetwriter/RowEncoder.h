#pragma once
// One table row in the on-page record layout.

#include "jetwriter/LongValueStore.h"
#include "jetwriter/TableLayout.h"

namespace jetwriter {

class RowEncoder {
public:
    RowEncoder(const FormatInfo& info, const TableLayout& layout, LongValueStore& longValues);

    // Throws std::runtime_error when a cell does not suit its column.
    const std::vector<uint8_t>& encode(const Row& row);

private:
    void putFixed(const ColumnLayout& column, const Cell& cell, uint8_t* at) const;
    void appendVariable(const ColumnLayout& column, const Cell& cell);
    void appendCalculated(const ColumnLayout& column, const Cell& cell);
    std::vector<uint8_t> calculatedResult(const ColumnLayout& column, const Cell& cell) const;
    const std::vector<uint8_t>& unknownBytes(const ColumnLayout& column, const Cell& cell) const;
    std::vector<uint8_t> textBytes(const ColumnLayout& column, const std::string& text, bool allowCompression) const;
    void finishJet4();
    void finishJet3();

    const FormatInfo& info_;
    const TableLayout& layout_;
    LongValueStore& longValues_;
    std::vector<uint8_t> row_;
    std::vector<uint16_t> varOffsets_;
    std::vector<uint8_t> nullMask_;
    size_t fixedStart_ = 0;
};

}  // namespace jetwriter
