#pragma once
// The offset table of a Jet data page: one 16-bit entry a row after the row count.
// The low 13 bits are where the row starts on the page; the top bits flag it.

namespace varnex::reader {

constexpr int kOffsetMask = 0x1FFF;
constexpr int kDeletedRow = 0x8000;
constexpr int kOverflowRow = 0x4000;  // the entry points at the row's new place on another page

}  // namespace varnex::reader
