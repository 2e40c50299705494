#pragma once
// What a database's tables are made of beyond their values: each user table's columns (as a read of
// the table delivers them) with what Access requires of them, its indexes, and the relationships
// between the tables.

#include "store/TableData.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace varnex {

// A complex column whose values can go to a table of their own, one row per value.
enum class ValuesKind : uint8_t { None, Attachments, MultipleValues };

struct SchemaColumn {
    ColumnInfo info;            // as the table's read delivers it
    uint32_t size = 0;          // Text: its most characters; Binary: its most bytes; 0 for other types
    bool required = false;      // Access requires a value (the "Required" property)
    bool autoNumber = false;
    ValuesKind values = ValuesKind::None;

    friend bool operator==(const SchemaColumn&, const SchemaColumn&) = default;
};

struct IndexKey {
    QString column;
    bool descending = false;

    friend bool operator==(const IndexKey&, const IndexKey&) = default;
};

struct SchemaIndex {
    QString name;
    std::vector<IndexKey> keys;
    bool primary = false;  // the primary key, which is unique too
    bool unique = false;

    friend bool operator==(const SchemaIndex&, const SchemaIndex&) = default;
};

struct SchemaTable {
    QString name;
    std::vector<SchemaColumn> columns;
    std::vector<SchemaIndex> indexes;

    friend bool operator==(const SchemaTable&, const SchemaTable&) = default;
};

// `table`'s columns refer to `referencedTable`'s, pair by pair; flags as MSysRelationships keeps them.
struct SchemaRelationship {
    QString name;
    QString table;
    QStringList columns;
    QString referencedTable;
    QStringList referencedColumns;
    uint32_t flags = 0;

    static constexpr uint32_t kNotEnforced = 0x2;
    static constexpr uint32_t kCascadeUpdates = 0x100;
    static constexpr uint32_t kCascadeDeletes = 0x1000;
    static constexpr uint32_t kCascadeToNull = 0x2000;
    bool enforced() const { return (flags & kNotEnforced) == 0; }

    friend bool operator==(const SchemaRelationship&, const SchemaRelationship&) = default;
};

struct DatabaseSchema {
    std::vector<SchemaTable> tables;  // in the order of the table list
    std::vector<SchemaRelationship> relationships;

    friend bool operator==(const DatabaseSchema&, const DatabaseSchema&) = default;
};

}  // namespace varnex
