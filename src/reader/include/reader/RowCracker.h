#pragma once
// Finds where each column's value lies in a data row, and whether it is Null, with libmdb's
// reading of the row's layout: its column count first; at its end the Null mask, before that
// the count of variable-length columns and their starts (in Jet 3 one byte each, with a table
// of the 256-byte steps they cross). Unlike libmdb's, every byte it reads lies inside the row,
// and it takes no lock, option or allocation a row: it runs once for every row of a table.

#include "reader/CrackedValue.h"
#include "reader/LittleEndian.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace varnex::reader {

// A column as the table's definition places it in its rows.
struct RowColumn {
    uint16_t number = 0;       // its bit in the Null mask
    bool fixed = false;
    uint16_t fixedOffset = 0;  // fixed: where it starts after the column count
    uint16_t size = 0;         // fixed: its width
    uint16_t varNumber = 0;    // variable-length: its place among their starts
};

class RowCracker {
public:
    // columns: every column of the table, in its order; delivered: the columns whose values are
    // asked for, by their place in columns; variableLength: whether the definition counts any
    // variable-length columns (rows keep their starts only then).
    RowCracker(std::vector<RowColumn> columns, const std::vector<unsigned>& delivered, bool jet3, bool variableLength);

    // Writes a CrackedValue for each delivered column of the row at start, length bytes long, on
    // page (pageSize bytes); false, writing nothing certain, when the row's layout is damaged.
    bool crack(const uint8_t* page, uint32_t pageSize, uint32_t start, uint32_t length, uint32_t* values);

private:
    // A delivered column as crackWhole() places it: its Null flag's bit, and where it lies (fixed:
    // from the row's start; variable-length: its place among the starts).
    struct Placed {
        uint32_t number;
        uint32_t at;
        uint32_t size;
        uint32_t delivered;
    };

    bool readVariableStarts(const uint8_t* row, uint32_t length, uint32_t maskSize);
    uint32_t variableStart(uint32_t column) const { return jet3_ ? starts_[column] : readU16(jet4Starts_ - 2 * column); }
    bool holdsWhole(uint32_t rowColumns, uint32_t length, uint32_t maskSize) const;
    bool crackWhole(const uint8_t* mask, uint32_t start, uint32_t length, uint32_t pageSize, uint32_t* values) const;
    bool crackColumnByColumn(const uint8_t* mask, uint32_t start, uint32_t length, uint32_t rowColumns, uint32_t maskSize,
                             uint32_t pageSize, uint32_t* values) const;

    std::vector<RowColumn> columns_;
    std::vector<int> deliveredAs_;  // by column: its place among the delivered, or -1
    bool jet3_;
    bool hasVariable_ = false;
    // The row's variable-length starts, the end of the last after them: in Jet 3 worked out
    // into starts_, in Jet 4 read where they lie, two bytes each, downwards from jet4Starts_.
    std::vector<uint32_t> starts_;
    const uint8_t* jet4Starts_ = nullptr;
    uint32_t variableCount_ = 0;
    // What a row holding every column must hold for crackWhole(): the fixed columns, the
    // variable-length starts, the Null mask's bytes and the fixed values' bytes it must reach.
    uint32_t fixedCount_ = 0;
    uint32_t startsNeeded_ = 0;
    uint32_t maskBytesNeeded_ = 0;
    uint32_t fixedBytesNeeded_ = 0;
    std::vector<uint32_t> variableEnds_;  // each variable-length column's end: its place among the starts
    std::vector<Placed> fixedPlaced_;
    std::vector<Placed> variablePlaced_;
};

}  // namespace varnex::reader
