#pragma once
// Usage maps: which pages belong to a table (or have room), as a row in a map page.

#include "jetwriter/PageFile.h"

#include <vector>

namespace jetwriter {

// An inline bitmap (type 0) when the pages fit its span, otherwise a list of bitmap pages (type 1),
// which are allocated and written here. `pages` must be ascending.
std::vector<uint8_t> buildUsageMap(const FormatInfo& info, PageFile& file, const std::vector<uint32_t>& pages);

}  // namespace jetwriter
