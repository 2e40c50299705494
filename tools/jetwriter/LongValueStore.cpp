#include "jetwriter/LongValueStore.h"

#include "jetwriter/ByteOrder.h"

#include <stdexcept>

namespace jetwriter {
namespace {

constexpr uint32_t kInline = 0x80000000u;
constexpr uint32_t kSinglePage = 0x40000000u;
constexpr size_t kMaxLength = 0x3FFFFFFF;
constexpr size_t kNextPointerSize = 4;

}  // namespace

LongValueStore::LongValueStore(const FormatInfo& info, PageFile& file)
    : info_(info), file_(file), shared_(info, RowPage::kLongValueOwner)
{
}

void LongValueStore::append(const std::vector<uint8_t>& value, std::vector<uint8_t>& row)
{
    if (value.size() > kMaxLength)
        throw std::runtime_error("long value larger than 1 GiB");
    uint8_t header[kHeaderSize] = {};
    const auto length = static_cast<uint32_t>(value.size());
    if (value.size() <= kMaxInline) {
        putU32(header, length | kInline);
        appendBytes(row, header, sizeof header);
        appendBytes(row, value.data(), value.size());
        return;
    }
    if (value.size() <= RowPage::capacity(info_)) {
        putU32(header, length | kSinglePage);
        putU32(header + 4, storeOnSharedPage(value));
    } else {
        putU32(header, length);
        putU32(header + 4, storeChained(value));
    }
    appendBytes(row, header, sizeof header);
}

uint32_t LongValueStore::storeOnSharedPage(const std::vector<uint8_t>& value)
{
    if (sharedPage_ && !shared_.fits(value.size()))
        flush();
    if (!sharedPage_)
        sharedPage_ = file_.allocate();
    const uint32_t row = shared_.add(value.data(), value.size());
    return dataPointer(*sharedPage_, row);
}

// Each page holds one piece, led by the pointer to the next piece (0 on the last).
uint32_t LongValueStore::storeChained(const std::vector<uint8_t>& value)
{
    const size_t piece = RowPage::capacity(info_) - kNextPointerSize;
    const auto pieces = static_cast<uint32_t>((value.size() + piece - 1) / piece);
    const uint32_t first = file_.allocate(pieces);
    RowPage page(info_, RowPage::kLongValueOwner);
    std::vector<uint8_t> chunk;
    for (uint32_t k = 0; k < pieces; ++k) {
        const size_t from = k * piece;
        const size_t take = std::min(piece, value.size() - from);
        chunk.assign(kNextPointerSize, 0);
        putU32(chunk.data(), k + 1 < pieces ? dataPointer(first + k + 1, 0) : 0);
        appendBytes(chunk, value.data() + from, take);
        page.reset();
        page.add(chunk.data(), chunk.size());
        file_.write(first + k, page.bytes());
    }
    return dataPointer(first, 0);
}

void LongValueStore::flush()
{
    if (!sharedPage_)
        return;
    file_.write(*sharedPage_, shared_.bytes());
    shared_.reset();
    sharedPage_.reset();
}

}  // namespace jetwriter
