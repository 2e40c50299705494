#pragma once
// The indexes of a table as its definition declares them. After the columns' entries and names a
// definition holds one entry per real index (its columns, each a column number and an order, and
// its flags), then one per logical index (its number, the real index it uses and its kind), then the
// logical indexes' names. Access gives a relationship's tables logical indexes of a kind of their
// own, which may share a real index with another; libmdb 1.0 pairs logical and real indexes by the
// logical number, which reads the columns of the indexes that follow such an index from the wrong
// entries, so the definition is read here.

#include "store/CodePage.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace varnex::reader {

struct IndexColumn {
    int columnNumber = 0;  // the column's number in its descriptor (libmdb's MdbColumn::col_num)
    bool descending = false;
};

struct IndexDefinition {
    QString name;
    std::vector<IndexColumn> columns;
    bool primary = false;
    bool unique = false;
    bool relationship = false;  // a relationship's own index, no index of the user's
};

// record: the definition's pages as one (readDefinitionRecord); nothing where it is cut short or
// its counts are out of bounds.
std::optional<std::vector<IndexDefinition>> readIndexDefinitions(const std::vector<uint8_t>& record, bool jet4,
                                                                 const CodePageTable& codePage);

}  // namespace varnex::reader
