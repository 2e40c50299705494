#pragma once
// Page geometry and record sizes of Jet 3 and Jet 4; ACE files use the Jet 4 geometry.

#include "jetwriter/JetWriter.h"

#include <cstddef>
#include <cstdint>

namespace jetwriter {

struct FormatInfo {
    Format format;
    bool jet4;                     // Jet 4 layout (ACE included)
    bool ace;                      // "Standard ACE DB": complex columns, extended dates, page encryption
    uint8_t versionByte;           // page 0 offset 0x14: 0 Jet 3, 1 Jet 4, 2 Access 2007, 3 Access 2010
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
