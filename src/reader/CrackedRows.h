#pragma once
// Rows cracked in a stretch of a table's walk, for their values to be decoded column by
// column: the pages they lie on, copied, and where each row's delivered values lie on its page.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "reader/CrackedValue.h"

namespace varnex::reader {

struct CrackedRows {
    size_t pageSize = 0;
    size_t columns = 0;              // delivered
    std::vector<uint8_t> pages;      // page images back to back
    std::vector<uint32_t> rowPages;  // each row's page image

    CrackedValue value(size_t row, size_t column) const { return CrackedValue(values_[row * columns + column]); }
    // Room for the next row's values, to be written whole (it is not zeroed first).
    uint32_t* addValues()
    {
        if (valueRoom_ - valueCount_ < columns)
            growValues();
        uint32_t* const at = values_.get() + valueCount_;
        valueCount_ += columns;
        return at;
    }

    // Takes back the room addValues() gave last.
    void dropValues() { valueCount_ -= columns; }

    size_t rowCount() const { return rowPages.size(); }
    size_t pageCount() const { return pageSize == 0 ? 0 : pages.size() / pageSize; }
    const uint8_t* page(uint32_t index) const { return pages.data() + static_cast<size_t>(index) * pageSize; }
    uint32_t addPage(const uint8_t* page)
    {
        pages.insert(pages.end(), page, page + pageSize);
        return static_cast<uint32_t>(pageCount() - 1);
    }
    void clear()
    {
        pages.clear();
        rowPages.clear();
        valueCount_ = 0;
    }

private:
    void growValues()
    {
        const size_t room = std::max(2 * valueRoom_, valueCount_ + 1024 * columns);
        auto grown = std::make_unique_for_overwrite<uint32_t[]>(room);
        if (valueCount_ > 0)
            std::memcpy(grown.get(), values_.get(), valueCount_ * sizeof(uint32_t));
        values_ = std::move(grown);
        valueRoom_ = room;
    }

    // Each row's values of the delivered columns (CrackedValue), row after row.
    std::unique_ptr<uint32_t[]> values_;
    size_t valueCount_ = 0;
    size_t valueRoom_ = 0;
};

}  // namespace varnex::reader
