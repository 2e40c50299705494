#pragma once
// A data-type page (0x01) being filled with rows: table rows, long values, usage maps, the catalogue.

#include "jetwriter/FormatInfo.h"

#include <vector>

namespace jetwriter {

class RowPage {
public:
    // owner: the table definition page, or kLongValueOwner for a long-value page.
    RowPage(const FormatInfo& info, uint32_t owner);

    static constexpr uint32_t kLongValueOwner = 0x4C41564C;  // "LVAL"

    bool fits(size_t rowSize) const;
    // Largest row an empty page takes.
    static size_t capacity(const FormatInfo& info);
    uint32_t add(const uint8_t* row, size_t size);   // returns the row number
    uint32_t rowCount() const { return rows_; }
    bool empty() const { return rows_ == 0; }
    size_t freeSpace() const;
    const std::vector<uint8_t>& bytes();               // finalises the header fields
    void reset();

private:
    const FormatInfo& info_;
    uint32_t owner_;
    std::vector<uint8_t> page_;
    uint32_t rows_ = 0;
    size_t top_;                                        // start of the lowest row so far
};

}  // namespace jetwriter
