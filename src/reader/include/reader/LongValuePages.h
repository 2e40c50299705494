#pragma once
// The pages that hold long values (Memo and OLE data), read from the file libmdb reads, with
// the last one kept: the long values of neighbouring rows mostly share a page.

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

// After the C++ headers: libmdb's header wraps glib, whose C++ parts need <type_traits>, in extern "C".
#include <mdbtools.h>

namespace varnex::reader {

class LongValuePages {
public:
    explicit LongValuePages(MdbHandle* mdb);

    struct Row {
        const uint8_t* bytes = nullptr;
        size_t length = 0;
    };
    // The row a long-value pointer (page number << 8 | row number) names; bytes is nullptr
    // when the page cannot be read or the row does not lie on it.
    Row row(uint32_t pointer);

private:
    bool load(uint32_t page);

    int file_;
    size_t rowCountOffset_;
    std::vector<uint8_t> page_;
    uint32_t loaded_ = 0;  // page 0 is the header page, never a long-value page
};

}  // namespace varnex::reader
