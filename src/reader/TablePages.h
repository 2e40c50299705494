#pragma once
// The data pages of a table, walked as libmdb walks them (the pages its usage map flags, by
// number) but each read from the file with one call into libmdb's page buffer. libmdb's own
// walk seeks and asks the file's size around every page it reads, and reads a map's bitmap
// page again for every data page it finds there; here each bitmap page is read once.
// Where the map is of a kind not read here, or cannot be read, libmdb walks on from there.

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

#include <mdbtools.h>

namespace varnex::reader {

class TablePages {
public:
    TablePages(MdbHandle* mdb, MdbTableDef* table);

    // Reads the table's next data page into libmdb's page buffer; false after the last.
    bool next();

private:
    enum class Map { Inline, Pages, Libmdb };

    // The next page the usage map flags after the last one; 0 after the last, nothing where
    // the map cannot be read (libmdb takes over).
    bool nextFlagged(uint32_t& page);
    bool readPage(uint32_t page, uint8_t* into);

    MdbHandle* mdb_;
    MdbTableDef* table_;
    size_t pageSize_;
    int file_;
    Map map_;
    uint32_t last_ = 0;     // the last page flagged (libmdb's start for the next)
    uint32_t mapIndex_ = 0; // Pages: the bitmap page in use, and its bits
    std::vector<uint8_t> bitmap_;
    bool bitmapLoaded_ = false;
};

}  // namespace varnex::reader
