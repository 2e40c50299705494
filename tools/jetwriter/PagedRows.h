#pragma once
// Rows appended to a run of data pages that are written out as each one fills.

#include "jetwriter/PageFile.h"
#include "jetwriter/RowPage.h"

#include <optional>

namespace jetwriter {

class PagedRows {
public:
    PagedRows(const FormatInfo& info, PageFile& file, uint32_t owner);

    // Returns the row's data pointer; throws when the row cannot fit even an empty page.
    uint32_t add(const std::vector<uint8_t>& row);
    void flush();
    const std::vector<uint32_t>& pages() const { return pages_; }
    bool lastPageHasRoom() const { return lastHasRoom_; }

private:
    const FormatInfo& info_;
    PageFile& file_;
    RowPage page_;
    std::optional<uint32_t> current_;
    std::vector<uint32_t> pages_;
    bool lastHasRoom_ = false;
};

}  // namespace jetwriter
