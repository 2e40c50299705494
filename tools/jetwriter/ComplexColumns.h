#pragma once
// Complex columns (ACE) and the hidden tables that hold their values, laid out as Access lays them out.
//
// The user table keeps, in a complex column (type 0x12, 4 bytes fixed, flags 0x07), a key per row; every
// complex column of the row shares it and the table definition keeps the last one at offset 28. The
// column descriptor keeps the column's ComplexID at offset 11. MSysComplexColumns has one row per complex
// column: ColumnName, ComplexTypeObjectID (the template table MSysComplexType_*), FlatTableID (the value
// table), ConceptualTableID (the user table), ComplexID; the IDs are MSysObjects Ids, i.e. definition pages.
// The value table "f_<32 hex digits>_<column>" (cut to 64 characters) has the template's columns plus
// "_<column>" (the user row's key) and "<table>_<column>" (an autonumber per value, flags 0x06), both Long
// kept as variable-length columns, all sorted by name with '_' first. A version-history ("append only")
// memo stays a memo column holding the newest text; a hidden complex column "VersionHistory_<GUID>" added
// to the table (extended flags 0x20) points to a template MSysComplexTypeVH_<hex> and a value table of
// every version with its date in column "Modified_F9B5E312-4155-4c59-9AAE-391C1B295827".

#include "jetwriter/ComplexTypes.h"

namespace jetwriter {

struct HiddenTable {
    std::string name;
    std::vector<Column> columns;
    std::vector<ColumnTraits> traits;
    std::vector<Row> rows;
    int64_t flags = kComplexTypeFlags;
    uint32_t lastAutonumber = 0;
};

class ComplexColumns {
public:
    // Throws std::runtime_error for complex or extended-date columns outside the ACE formats.
    ComplexColumns(const FormatInfo& info, const std::vector<Table>& tables);

    // A user table as stored: complex columns as keys, version-history keys appended.
    const std::vector<Column>& columns(size_t table) const { return columns_[table]; }
    const std::vector<ColumnTraits>& traits(size_t table) const { return traits_[table]; }
    bool hasComplexColumns(size_t table) const;

    // The row as stored under `key` (1 and up); its complex values go to the value tables.
    Row store(size_t table, const Row& row, uint32_t key);

    // The template tables, then the value tables (and version-history templates) in column order.
    std::vector<HiddenTable>& hiddenTables() { return hidden_; }

    // MSysComplexColumns, given the definition pages of the user tables and of hiddenTables().
    std::vector<Row> catalogRows(const std::vector<uint32_t>& userPages, const std::vector<uint32_t>& hiddenPages) const;

private:
    struct Link {
        size_t table;
        size_t source;        // the user's column
        std::string name;     // the complex column as stored
        ColumnType kind;
        uint32_t complexId;
        size_t typeTable;
        size_t valueTable;
        std::vector<size_t> order;  // value-table column positions of: key, values..., id
    };

    void addLink(const std::string& tableName, size_t table, size_t source);
    void storeValues(Link& link, const Cell& cell, uint32_t key);
    void addValueRow(Link& link, uint32_t key, std::vector<Cell> values);

    std::vector<std::vector<Column>> columns_;
    std::vector<std::vector<ColumnTraits>> traits_;
    std::vector<Link> links_;
    std::vector<HiddenTable> hidden_;
};

}  // namespace jetwriter
