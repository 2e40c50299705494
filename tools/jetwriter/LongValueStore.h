#pragma once
// Memo and OLE values: inline in the row, on a shared long-value page, or chained over whole pages.

#include "jetwriter/PageFile.h"
#include "jetwriter/RowPage.h"

#include <array>
#include <optional>

namespace jetwriter {

class LongValueStore {
public:
    LongValueStore(const FormatInfo& info, PageFile& file);

    static constexpr size_t kHeaderSize = 12;
    static constexpr size_t kMaxInline = 64;

    // The 12-byte reference that goes into the row, followed by the value itself when it stays inline.
    void append(const std::vector<uint8_t>& value, std::vector<uint8_t>& row);
    void flush();

private:
    uint32_t storeOnSharedPage(const std::vector<uint8_t>& value);
    uint32_t storeChained(const std::vector<uint8_t>& value);

    const FormatInfo& info_;
    PageFile& file_;
    RowPage shared_;
    std::optional<uint32_t> sharedPage_;
};

}  // namespace jetwriter
