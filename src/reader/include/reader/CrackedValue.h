#pragma once
// A delivered column's value in a cracked row, in four bytes: where it lies on the row's page
// image (start, then size, sixteen bits each), or that it is Null, or that a damaged row places
// it off its page (not read). Null comes first: a Yes/No value lives in the Null mask wherever
// the row says its bytes are.

#include <cstdint>

namespace varnex::reader {

class CrackedValue {
public:
    static constexpr uint32_t kNull = 0xFFFFFFFFu;
    static constexpr uint32_t kOffPage = 0xFFFEFFFFu;

    // The bits of a value found at start, size bytes long, on a page of pageSize bytes (a negative
    // start or size taken unsigned, so that it lies off the page too).
    static uint32_t place(int start, int size, bool null, uint32_t pageSize)
    {
        const auto from = static_cast<uint32_t>(start);
        const auto length = static_cast<uint32_t>(size);
        const uint32_t placed = uint64_t{from} + length <= pageSize ? from | length << 16 : kOffPage;
        // Without a branch: Nulls come in no order a processor could foresee.
        return placed | (0u - static_cast<uint32_t>(null));
    }

    explicit CrackedValue(uint32_t bits) : bits_(bits) {}
    bool isNull() const { return bits_ == kNull; }
    bool present() const { return (bits_ >> 16) < 0xFFFEu; }
    uint32_t start() const { return bits_ & 0xFFFFu; }
    uint32_t size() const { return bits_ >> 16; }

private:
    uint32_t bits_;
};

}  // namespace varnex::reader
