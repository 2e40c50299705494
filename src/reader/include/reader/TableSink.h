#pragma once
// Where a reader delivers a table: its columns once, then its rows in batches.

#include "data/TableData.h"

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
    // Values that could not be read and are delivered empty, as a line for the log.
    virtual void warning(const QString& text) = 0;
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
    void warning(const QString& text) override { warnings_.push_back(text); }
    TableData& table() { return table_; }
    const std::vector<QString>& warnings() const { return warnings_; }

private:
    TableData table_;
    std::vector<QString> warnings_;
};

}  // namespace varnex::reader
