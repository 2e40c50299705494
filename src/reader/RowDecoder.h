#pragma once
// Decodes the rows of one table into batches for a sink: the pages are walked and each row
// cracked, and the values decoded from their raw bytes, by workers on threads of their own where
// they can be had (see SharedWalk.h).

#include "CrackedRows.h"
#include "SharedWalk.h"
#include "core/Error.h"
#include "store/CodePage.h"
#include "reader/ComplexColumns.h"
#include "reader/LongValuePages.h"
#include "reader/RowCracker.h"
#include "reader/TableSink.h"
#include "reader/TextDecoding.h"

#include <mdbtools.h>

#include <memory>
#include <string>
#include <vector>

namespace varnex::reader {

// How a delivered column's values are stored in the row, decided once per table.
enum class ValueForm : uint8_t {
    Plain,        // as a value of its type
    Calculated,   // a calculated column's result, wrapped (see CalculatedValue.h)
    List,         // a complex column's key into its values
    Unsupported,  // of a type that is not read: only the value's byte count is kept
};

// Where a delivered column's values come from.
struct ColumnSource {
    unsigned field = 0;                      // the column's place in the table's (and the cracked row's) columns
    ValueForm form = ValueForm::Plain;
    const ComplexValues* lists = nullptr;    // List (and Unsupported complex columns): its values by the row's key
};

// How a delivered column's values are decoded over many rows at once, decided once per table:
// fixed-width values copied as they are, Yes/No from the Null mask, text and binary values
// straight into the column's bytes, as are Memo and OLE values from where they lie; the rest
// value by value.
enum class ColumnLoop : uint8_t { Boolean, Fixed1, Fixed2, Fixed4, Fixed8, Text, Bytes, LongText, LongBytes, PerValue };

// The most text and binary bytes a column's value can add to a batch, for where a batch must end
// before its values are decoded: none, the value's bytes, its text's UTF-8 room, the long value's
// bytes or their UTF-8 room, a list's joined values.
enum class ValueBound : uint8_t { None, Bytes, Text, LongBytes, LongText, List };

// The field type code of a column libmdb read; FieldType::Unsupported for one whose values cannot be read.
FieldType fieldTypeOf(const MdbColumn& column);
// The field type code of an Access type code (fixed: of a fixed-length column, for Binary).
FieldType fieldTypeOfCode(int typeCode, bool fixed);

class RowDecoder {
public:
    // columns and sources: one each per delivered column. decodeValues false only walks the
    // pages and cracks the rows, counting them.
    RowDecoder(MdbHandle* mdb, MdbTableDef* table, const CodePageTable& codePage, TableSink& sink,
               const std::vector<ColumnInfo>& columns, std::vector<ColumnSource> sources, bool decodeValues = true);

    // Values, rows and pages that could not be read are delivered empty or passed over, and named in
    // warnings to the sink once the table has been read.
    Status run();
    int64_t rowsCracked() const { return rowsCracked_; }

private:
    static size_t pageCount(MdbHandle* mdb);
    bool onPage(int offset, size_t length) const;
    bool flush();
    Status walk();
    Status work(SharedWalk& shared);
    void walkStretch(SharedWalk::Turn& turn);
    void takeCounts(const RowDecoder& partner);
    void planColumns();
    Status decode(const CrackedRows& rows);
    size_t batchRows(const CrackedRows& rows, size_t first, bool& full) const;
    size_t mostBytes(const CrackedRows& rows, size_t first, size_t count) const;
    size_t valueBound(size_t c, CrackedValue value, const uint8_t* page) const;
    bool decodeColumn(int c, const CrackedRows& rows, size_t first, size_t count);
    template <size_t Width>
    bool decodeFixed(int c, const CrackedRows& rows, size_t first, size_t count);
    bool decodeBoolean(int c, const CrackedRows& rows, size_t first, size_t count);
    bool decodeVariable(int c, const CrackedRows& rows, size_t first, size_t count, bool text);
    bool decodeLong(int c, const CrackedRows& rows, size_t first, size_t count, bool text);
    bool decodeEach(int c, const CrackedRows& rows, size_t first, size_t count);
    size_t textRoom(size_t size) const { return jet3_ ? jet3TextUtf8Room(size) : jet4TextUtf8Room(size); }
    void readRow(int row);
    void skipDamagedRow();
    bool holdsCountAndNullMask(int start, size_t length) const;
    void crack(int start, size_t length, uint32_t page);
    void crackByLibmdb(int start, size_t length);
    bool storeValue(int c, CrackedValue value, const uint8_t* page);
    bool storeOtherForm(int c, const ColumnSource& source, CrackedValue value, const uint8_t* page);
    bool storeUnread(int c);
    bool storeFixed(int c, const uint8_t* raw, size_t size);
    bool storeDecimal(int c, const uint8_t* raw, size_t size);
    bool storeCalculatedDecimal(int c, const uint8_t* raw, size_t size);
    bool storeExtendedDate(int c, const uint8_t* raw, size_t size);
    bool storeList(int c, const ComplexValues& lists, const uint8_t* raw, size_t size);
    bool storeUnreadBytes(int c, const ComplexValues* lists, const uint8_t* raw, size_t size);
    bool storeCalculated(int c, const uint8_t* raw, size_t size);
    bool storeText(int c, const uint8_t* raw, size_t size);
    bool storeLongValue(int c, const uint8_t* raw, size_t size, bool isText, bool calculated = false);
    // A long value's header in the row: its length and flags, then where it lies.
    static constexpr size_t kLongValueHeader = 12;
    // A long value's bytes, and whether they are all there (not cut short by damage).
    struct LongValue {
        const uint8_t* at;
        size_t size;
        bool complete;
    };
    LongValue readLongValue(const uint8_t* raw, size_t size);
    bool readLongValueRows(uint32_t pointer, size_t length);
    void warnOfDamage();

    MdbHandle* mdb_;
    MdbTableDef* table_;
    const CodePageTable& codePage_;     // with columns_: what a partner worker is made from
    std::vector<ColumnInfo> columns_;
    Jet3Characters jet3Characters_;
    TableSink& sink_;
    TableData batch_;
    std::vector<ColumnSource> sources_;
    RowCracker cracker_;
    std::vector<ColumnLoop> loops_;    // by delivered column
    std::vector<ValueBound> bounds_;   // by delivered column
    std::vector<size_t> boundedColumns_;  // those whose values add text or binary bytes
    bool jet3_;
    bool decodeValues_;
    int64_t rowsCracked_ = 0;
    size_t pageCount_;
    int pageSize_;
    LongValuePages longValuePages_;
    // The walk's side: the stretch's rows being cracked, and where its current page is.
    std::unique_ptr<CrackedRows> chunk_;
    uint32_t pageInChunk_ = 0;
    // The walk this worker shares, and the stretch it has of it (none for the bare walk).
    SharedWalk* shared_ = nullptr;
    uint64_t stretch_ = 0;
    MdbField fields_[MDB_MAX_COLS] = {};
    unsigned char savedPage_[MDB_PGSIZE] = {};
    size_t variableBytes_ = 0;  // of the text and binary values in the batch
    size_t fixedRowBytes_ = 0;  // the most a row takes besides them
    std::string longValue_;
    std::vector<uint32_t> chain_;  // the rows of the long value being read
    // What could not be read, for the warnings: by column (the decoding's), and the pages with
    // damaged rows (the walk's), each with the stretch it lies in, to be put in the walk's order.
    std::vector<int64_t> unreadValues_;
    std::vector<int64_t> cutShortValues_;
    struct DamagedPage {
        uint64_t stretch;
        uint32_t page;
        int64_t rows;
    };
    std::vector<DamagedPage> damagedPages_;
};

}  // namespace varnex::reader
