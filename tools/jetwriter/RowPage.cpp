#include "jetwriter/RowPage.h"

#include "jetwriter/ByteOrder.h"

#include <stdexcept>

namespace jetwriter {

RowPage::RowPage(const FormatInfo& info, uint32_t owner) : info_(info), owner_(owner), page_(info.pageSize, 0)
{
    reset();
}

void RowPage::reset()
{
    std::fill(page_.begin(), page_.end(), 0);
    page_[0] = 0x01;
    page_[1] = 0x01;
    putU32(page_.data() + 4, owner_);
    rows_ = 0;
    top_ = info_.pageSize;
}

size_t RowPage::capacity(const FormatInfo& info) { return info.pageSize - info.dataHeaderSize - 2; }

size_t RowPage::freeSpace() const { return top_ - (info_.dataHeaderSize + 2 * rows_); }

bool RowPage::fits(size_t rowSize) const { return rows_ < info_.maxRowsPerPage && rowSize + 2 <= freeSpace(); }

uint32_t RowPage::add(const uint8_t* row, size_t size)
{
    if (!fits(size))
        throw std::logic_error("row does not fit the page");
    top_ -= size;
    std::copy(row, row + size, page_.begin() + static_cast<std::ptrdiff_t>(top_));
    putU16(page_.data() + info_.dataHeaderSize + 2 * rows_, static_cast<uint32_t>(top_));
    return rows_++;
}

const std::vector<uint8_t>& RowPage::bytes()
{
    putU16(page_.data() + 2, static_cast<uint32_t>(freeSpace()));
    putU16(page_.data() + info_.rowCountOffset, rows_);
    return page_;
}

}  // namespace jetwriter
