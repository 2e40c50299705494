#pragma once
// Decodes the rows of one table into batches for a sink: libmdb walks the pages and cracks each row;
// the values are decoded here from their raw bytes.

#include "CrackedRows.h"
#include "core/Error.h"
#include "data/CodePage.h"
#include "reader/ComplexColumns.h"
#include "reader/LongValuePages.h"
#include "reader/TableSink.h"

#include <mdbtools.h>

#include <memory>
#include <string>
#include <vector>

namespace varnex::reader {

// Where a delivered column's values come from.
struct ColumnSource {
    unsigned field = 0;                      // the column's place in the table's (and the cracked row's) columns
    const ComplexValues* lists = nullptr;    // a complex column: its values by the row's key
};

// The field type code of a column libmdb read; 0 for one whose values cannot be read.
int16_t fieldTypeOf(const MdbColumn& column);

class RowDecoder {
public:
    // columns and sources: one each per delivered column. decodeValues false only walks the
    // pages and cracks the rows, counting them.
    RowDecoder(MdbHandle* mdb, MdbTableDef* table, const CodePageTable& codePage, TableSink& sink,
               const std::vector<ColumnInfo>& columns, std::vector<ColumnSource> sources, bool decodeValues = true);

    Status run();
    int64_t rowsCracked() const { return rowsCracked_; }

private:
    static size_t pageCount(MdbHandle* mdb);
    bool onPage(int offset, size_t length) const;
    bool flush();
    Status walk();
    bool startPage();
    bool handOver();
    Status decodeFrom(CrackedRowsLine& line);
    Status decode(const CrackedRows& rows);
    void readRow(int row);
    void crack(int start, size_t length, uint32_t page);
    bool storeValue(int c, const MdbField& field, const uint8_t* page);
    bool storeFixed(int c, const uint8_t* raw, size_t size);
    bool storeDecimal(int c, const uint8_t* raw, size_t size);
    bool storeExtendedDate(int c, const uint8_t* raw, size_t size);
    bool storeList(int c, const ComplexValues& lists, const uint8_t* raw, size_t size);
    bool storeText(int c, const uint8_t* raw, size_t size);
    bool storeLongValue(int c, const uint8_t* raw, size_t size, bool isText);
    void readLongValueRows(uint32_t pointer, size_t length, bool singleRow);

    MdbHandle* mdb_;
    MdbTableDef* table_;
    const CodePageTable& codePage_;
    TableSink& sink_;
    TableData batch_;
    std::vector<ColumnSource> sources_;
    bool jet3_;
    bool decodeValues_;
    int64_t rowsCracked_ = 0;
    size_t pageCount_;
    int pageSize_;
    LongValuePages longValuePages_;
    // The walk's side: the chunk being filled, where its current page is, the line to the decoding.
    std::unique_ptr<CrackedRows> chunk_;
    uint32_t pageInChunk_ = 0;
    CrackedRowsLine* line_ = nullptr;
    MdbField fields_[MDB_MAX_COLS] = {};
    unsigned char savedPage_[MDB_PGSIZE] = {};
    size_t variableBytes_ = 0;  // of the text and binary values in the batch
    size_t fixedRowBytes_ = 0;  // the most a row takes besides them
    std::string longValue_;
};

}  // namespace varnex::reader
