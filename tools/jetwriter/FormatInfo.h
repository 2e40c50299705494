#pragma once
// Page geometry and record sizes of the two Jet versions.

#include "jetwriter/JetWriter.h"

#include <cstddef>
#include <cstdint>

namespace jetwriter {

struct FormatInfo {
    Format format;
    bool jet4;
    uint32_t pageSize;
    uint32_t dataHeaderSize;       // bytes before the row offset table of a data page
    uint32_t rowCountOffset;       // where a data page keeps its row count
    uint32_t usageMapRowSize;      // type byte + start page + inline bitmap
    uint32_t usageMapBitmapSize;
    uint32_t maxTextLength;        // characters
    uint32_t maxRowsPerPage;
};

const FormatInfo& formatInfo(Format format);

// A data pointer: page number in the upper three bytes, row number in the lowest.
inline uint32_t dataPointer(uint32_t page, uint32_t row) { return (page << 8) | row; }

}  // namespace jetwriter
