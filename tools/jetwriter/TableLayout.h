#pragma once
// Where each column of a table lives in a row, and the table definition (TDEF) pages.

#include "jetwriter/FormatInfo.h"

#include <vector>

namespace jetwriter {

struct ColumnLayout {
    Column column;
    uint8_t typeCode = 0;
    uint16_t number = 0;       // position in the row's null mask
    bool fixed = false;
    uint16_t fixedOffset = 0;  // fixed columns: from the end of the row's column count
    uint16_t varIndex = 0;     // variable columns: entry in the offset table
    uint16_t length = 0;       // bytes as declared in the table definition
};

struct TableLayout {
    std::vector<ColumnLayout> columns;
    uint16_t fixedSize = 0;
    uint16_t varCount = 0;
};

// Throws std::runtime_error for an impossible definition (no columns, more than 255, bad sizes).
TableLayout layoutTable(const FormatInfo& info, const std::vector<Column>& columns);

struct TableTotals {
    uint32_t rowCount = 0;
    uint32_t ownedPagesMap = 0;   // data pointers to the usage map rows
    uint32_t freePagesMap = 0;
    bool system = false;
};

// The definition as one logical record: an 8-byte page header followed by the body.
std::vector<uint8_t> encodeTableDefinition(const FormatInfo& info, const TableLayout& layout, const TableTotals& totals);

// How many pages a definition of this size spans.
uint32_t tableDefinitionPages(const FormatInfo& info, size_t logicalSize);

// Splits the record over `count` consecutive pages starting at `first`.
std::vector<std::vector<uint8_t>> tableDefinitionPageImages(const FormatInfo& info, const std::vector<uint8_t>& record,
                                                            uint32_t first);

}  // namespace jetwriter
