#pragma once
// Streams the rows of one table onto data pages (and its long values onto long-value pages).

#include "jetwriter/LongValueStore.h"
#include "jetwriter/PagedRows.h"
#include "jetwriter/RowEncoder.h"

namespace jetwriter {

class TableWriter {
public:
    TableWriter(const FormatInfo& info, PageFile& file, const TableLayout& layout, uint32_t definitionPage);

    void add(const Row& row);
    // Writes the last pages; the data pages are then in pages().
    void finish();
    uint32_t rowCount() const { return rows_; }
    const std::vector<uint32_t>& pages() const { return data_.pages(); }
    bool lastPageHasRoom() const { return data_.lastPageHasRoom(); }

private:
    LongValueStore longValues_;
    RowEncoder encoder_;
    PagedRows data_;
    uint32_t rows_ = 0;
};

}  // namespace jetwriter
