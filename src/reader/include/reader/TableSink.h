#pragma once
// Where a reader delivers a table: its columns once, then its rows in batches.

#include "data/TableData.h"

#include <cstdint>
#include <vector>

namespace varnex::reader {

class TableSink {
public:
    virtual ~TableSink() = default;
    // Returning false stops the read.
    virtual bool columns(const std::vector<ColumnInfo>& columns, int64_t rowCountHint) = 0;
    // Takes the batch's rows (the batch is emptied by the reader afterwards).
    virtual bool rows(TableData& batch) = 0;
};

// Collects everything into one TableData in this process.
class CollectingSink : public TableSink {
public:
    bool columns(const std::vector<ColumnInfo>& columns, int64_t rowCountHint) override
    {
        table_ = TableData(columns);
        return table_.reserveRows(rowCountHint);
    }
    bool rows(TableData& batch) override { return table_.takeRows(batch); }
    TableData& table() { return table_; }

private:
    TableData table_;
};

}  // namespace varnex::reader
