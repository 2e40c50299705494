#include "jetwriter/PagedRows.h"

#include <stdexcept>

namespace jetwriter {

PagedRows::PagedRows(const FormatInfo& info, PageFile& file, uint32_t owner) : info_(info), file_(file), page_(info, owner) {}

uint32_t PagedRows::add(const std::vector<uint8_t>& row)
{
    if (row.size() > RowPage::capacity(info_))
        throw std::runtime_error("row of " + std::to_string(row.size()) + " bytes does not fit a page");
    if (current_ && !page_.fits(row.size()))
        flush();
    if (!current_) {
        current_ = file_.allocate();
        pages_.push_back(*current_);
    }
    return dataPointer(*current_, page_.add(row.data(), row.size()));
}

void PagedRows::flush()
{
    if (!current_)
        return;
    lastHasRoom_ = page_.freeSpace() > 0 && page_.rowCount() < info_.maxRowsPerPage;
    file_.write(*current_, page_.bytes());
    page_.reset();
    current_.reset();
}

}  // namespace jetwriter
