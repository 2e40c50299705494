#pragma once
// Where a reader delivers a table: its columns once, then its rows in batches.

#include "store/ReadWarning.h"
#include "store/TableData.h"

#include <QString>

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
    // What could not be read and is delivered empty, cut short or left out.
    virtual void warning(const ReadWarning& warning) = 0;
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
    void warning(const ReadWarning& warning) override { warnings_.push_back(warning); }
    TableData& table() { return table_; }
    const std::vector<ReadWarning>& warnings() const { return warnings_; }

private:
    TableData table_;
    std::vector<ReadWarning> warnings_;
};

}  // namespace varnex::reader
