#include "jetwriter/UsageMap.h"

#include "jetwriter/ByteOrder.h"

#include <stdexcept>

namespace jetwriter {
namespace {

void setBit(uint8_t* bitmap, uint32_t index) { bitmap[index / 8] = static_cast<uint8_t>(bitmap[index / 8] | (1u << (index % 8))); }

std::vector<uint8_t> inlineMap(const FormatInfo& info, const std::vector<uint32_t>& pages)
{
    std::vector<uint8_t> row(info.usageMapRowSize, 0);
    const uint32_t start = pages.empty() ? 0 : pages.front();
    putU32(row.data() + 1, start);
    for (uint32_t page : pages)
        setBit(row.data() + 5, page - start);
    return row;
}

// Each bitmap page (type 0x05) covers a fixed span of page numbers counted from page 0.
std::vector<uint8_t> indirectMap(const FormatInfo& info, PageFile& file, const std::vector<uint32_t>& pages)
{
    const uint32_t span = (info.pageSize - 4) * 8;
    const uint32_t mapSlots = (info.usageMapRowSize - 1) / 4;
    if (pages.back() / span >= mapSlots)
        throw std::runtime_error("table too large for its usage map");
    std::vector<uint8_t> row(info.usageMapRowSize, 0);
    row[0] = 0x01;
    size_t next = 0;
    while (next < pages.size()) {
        const uint32_t slot = pages[next] / span;
        std::vector<uint8_t> bitmap(info.pageSize, 0);
        bitmap[0] = 0x05;
        bitmap[1] = 0x01;
        for (; next < pages.size() && pages[next] / span == slot; ++next)
            setBit(bitmap.data() + 4, pages[next] - slot * span);
        const uint32_t bitmapPage = file.allocate();
        file.write(bitmapPage, bitmap);
        putU32(row.data() + 1 + 4 * slot, bitmapPage);
    }
    return row;
}

}  // namespace

std::vector<uint8_t> buildUsageMap(const FormatInfo& info, PageFile& file, const std::vector<uint32_t>& pages)
{
    const uint32_t inlineSpan = info.usageMapBitmapSize * 8;
    if (pages.empty() || pages.back() - pages.front() < inlineSpan)
        return inlineMap(info, pages);
    return indirectMap(info, file, pages);
}

}  // namespace jetwriter
