#pragma once
// The values of one complex column as rows of their own: "row", the position of the user's row among
// the rows a read of its table delivers, then an attachment's FileName, FileType, FileData (the
// file's bytes) and FileTimeStamp, or a multi-value column's value; in the order of the user's rows,
// then in stored order.

#include "reader/ComplexColumns.h"
#include "reader/TableSink.h"

#include <optional>
#include <vector>

namespace varnex::reader {

struct ValueRowsPlan {
    std::vector<ColumnInfo> columns;  // as delivered
    std::vector<int> sources;         // per delivered column after "row", its column in the flat table (-1: none)
    int key = -1;                     // the flat table's key of the user's row
    int fileData = -1;                // the delivered column of an attachment's bytes
};

// Nothing where the flat table's read lacks the key or the value.
std::optional<ValueRowsPlan> planValueRows(const TableData& flat, ComplexKind kind, const FlatColumns& columns);

// keys: the key column of the user's rows (Integer), as a read of the table delivers them. Sends the
// rows to the sink in batches; counts the attachments whose stored data is damaged (left empty).
// False where the sink stops the read or memory runs out.
bool sendValueRows(const TableData& keys, const TableData& flat, const ValueRowsPlan& plan, TableSink& sink, int64_t& damaged);

}  // namespace varnex::reader
