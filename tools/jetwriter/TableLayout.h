#pragma once
// Where each column of a table lives in a row, and the table definition (TDEF) pages.

#include "jetwriter/FormatInfo.h"

#include <optional>
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
    uint8_t flags = 0;
    uint8_t extFlags = 0;
    bool complexKey = false;   // type 0x12: the row's key into a complex column's hidden table
    uint32_t complexId = 0;
    bool calculated = false;   // values wrapped as Access 2010 stores a calculated column's results
};

// The code a column descriptor names a type by; throws for complex columns (whose code, 0x12, is the key's).
uint8_t typeCode(ColumnType type);

// Bytes a value of a fixed-length type takes in a row; Yes/No lives in the null mask and takes none;
// -1 for variable-length types.
int fixedBytes(ColumnType type);

// Where the columns of complex data and of their hidden tables differ from plain columns.
struct ColumnTraits {
    bool complexKey = false;           // a Long column written as a complex column (type 0x12, flags 0x07)
    uint32_t complexId = 0;            // its ComplexID in MSysComplexColumns, kept at offset 11 of the descriptor
    bool storedVariable = false;       // a Long kept among the variable-length columns, as in the hidden tables
    std::optional<uint8_t> flags;      // column flags in place of the usual fixed/nullable pair
    std::optional<uint8_t> extFlags;
};

// An index with its columns by number; each is a logical index of its own real index.
struct IndexLayout {
    Index index;
    std::vector<uint16_t> columnNumbers;  // by key
    uint32_t firstPage = 0;               // its (empty) leaf page
};

struct TableLayout {
    std::vector<ColumnLayout> columns;
    uint16_t fixedSize = 0;
    uint16_t varCount = 0;
    std::vector<IndexLayout> indexes;
};

// Throws std::runtime_error for an impossible definition (no columns, more than 255, bad sizes).
// `traits`, when given, has one entry per column.
TableLayout layoutTable(const FormatInfo& info, const std::vector<Column>& columns, const std::vector<ColumnTraits>& traits = {});

// Adds the table's indexes; throws for one without keys, with more than 10, or naming no column of the table.
void addIndexes(TableLayout& layout, const std::vector<Index>& indexes);

// An index page with no entries: the first leaf of an index of the table defined at definitionPage.
std::vector<uint8_t> emptyIndexPage(const FormatInfo& info, uint32_t definitionPage);

struct TableTotals {
    uint32_t rowCount = 0;
    uint32_t ownedPagesMap = 0;   // data pointers to the usage map rows
    uint32_t freePagesMap = 0;
    bool system = false;
    uint32_t lastAutonumber = 0;          // offset 20: the last autonumber handed out
    uint32_t lastComplexAutonumber = 0;   // offset 28 (ACE): the last complex-value key handed out
};

// The definition as one logical record: an 8-byte page header followed by the body.
std::vector<uint8_t> encodeTableDefinition(const FormatInfo& info, const TableLayout& layout, const TableTotals& totals);

// How many pages a definition of this size spans.
uint32_t tableDefinitionPages(const FormatInfo& info, size_t logicalSize);

// Splits the record over `count` consecutive pages starting at `first`.
std::vector<std::vector<uint8_t>> tableDefinitionPageImages(const FormatInfo& info, const std::vector<uint8_t>& record,
                                                            uint32_t first);

}  // namespace jetwriter
