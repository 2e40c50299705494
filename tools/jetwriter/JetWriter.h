#pragma once
// Writes new Access database files (Jet 3 .mdb, Jet 4 .mdb, ACE .accdb) for tests, benchmarks and the demo.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace jetwriter {

// Ace2007 and Ace2010: .accdb files of Access 2007 and 2010 (Jet 4 pages, version byte 2 or 3).
enum class Format { Jet3, Jet4, Ace2007, Ace2010 };

// How an ACE database with a password encrypts its pages (Jet formats keep the password in the header).
enum class Encryption { Agile, Rc4CryptoApi };

// Binary: variable-length bytes of at most `size` (default 255), as in the system tables.
// ACE only: DateTimeExtended (Access 2016's 100 ns date/time, years 1-9999), and the complex columns
// Attachment, MultiValue (of `valueType`) and VersionedMemo (an append-only memo: the row keeps the
// newest text, a hidden table every version with its date).
// Unknown: a column of a type code no Access version defines (Column::typeCode), whose cells are Bytes
// written as they are, for testing what readers make of such files.
enum class ColumnType {
    Byte, Integer, Long, Single, Double, Currency, DateTime, YesNo, Text, Memo, Ole, Guid, Decimal, Binary,
    DateTimeExtended, Attachment, MultiValue, VersionedMemo, Unknown
};

struct Column {
    std::string name;          // UTF-8
    ColumnType type;
    int size = 0;              // Text: length in characters (default 50, at most 255)
    int precision = 18;        // Decimal
    int scale = 0;             // Decimal
    // MultiValue: Byte, Integer, Long, Single, Double or Text (of `size`), or Unknown (of `typeCode`, its
    // values given as text holding their bytes, `size` of them each where nonzero)
    ColumnType valueType = ColumnType::Text;
    // Access 2010 and later: non-empty makes a calculated column, whose `type` is the result type (Byte,
    // Integer, Long, Single, Double, Currency, DateTime, YesNo, Text, Memo, Guid or Decimal; a Decimal
    // result keeps each value's own scale) and whose cells are the results. They are stored wrapped as
    // Access stores them, a Null as an empty result; the expression and the result type go to the
    // column's properties.
    std::string expression{};
    // A calculated column: the type code its descriptor names, where it differs from the result type
    // (Access keeps the first one there when the result type is changed later); 0: the result type's.
    // Unknown: the type code written.
    uint8_t typeCode = 0;
    // Attachment and MultiValue: the name the column was created with, which its hidden table and
    // MSysComplexColumns keep after it is renamed to `name`; empty: never renamed.
    std::string createdAs{};
    // Access requires a value: the column's "Required" property, kept with the table's properties.
    bool required = false;
    // Long: an AutoNumber (the column flag; the values are written as given).
    bool autoNumber = false;
};

struct Null {};
struct CurrencyValue { int64_t scaled; };          // value * 10000
struct DateValue { double days; };                 // days since 1899-12-30, as Jet stores it
__extension__ typedef unsigned __int128 Uint128;                      // GCC/Clang builtin
struct DecimalValue { bool negative; Uint128 mantissa; int scale; };  // value = mantissa / 10^scale
struct Bytes { std::vector<uint8_t> data; };      // OLE Object / Binary
// The 16 bytes as stored: Data1 (4), Data2 (2), Data3 (2) little-endian, then Data4 (8).
struct GuidValue { uint8_t bytes[16]; };
// Date/Time Extended: whole days since 0001-01-01 and 100 ns ticks into the day.
struct ExtendedDateValue { int64_t days; int64_t ticks; };
struct Attachment { std::string name; std::vector<uint8_t> data; };
struct Attachments { std::vector<Attachment> files; };
using ScalarValue = std::variant<int64_t, double, std::string>;
struct MultiValues { std::vector<ScalarValue> values; };              // in stored order
struct Version { double modified; std::string text; };             // days since 1899-12-30
struct VersionHistory { std::vector<Version> versions; };          // oldest first; the last is the current text

// A cell: Null, bool (Yes/No), integer, double/float, text (UTF-8), or a typed value.
// Yes/No has no Null (Jet keeps it in the null mask): Null is written as No.
// Integers are accepted for every numeric type, doubles for Single, Double, Currency and Date/Time,
// text "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" for Replication ID.
// Complex columns take Attachments, MultiValues or VersionHistory (or Null, for none).
using Cell = std::variant<Null, bool, int64_t, double, std::string, CurrencyValue, DateValue, DecimalValue, Bytes, GuidValue,
                          ExtendedDateValue, Attachments, MultiValues, VersionHistory>;
using Row = std::vector<Cell>;

// An index of a table, defined as Access defines one; its pages are written empty, so a reader that
// seeks rows through it finds none (readers of the whole table, libmdb's included, walk the data pages).
struct IndexKey {
    std::string column;
    bool descending = false;
};
struct Index {
    std::string name;
    std::vector<IndexKey> keys;  // 1 to 10 columns
    bool primary = false;        // the primary key (unique as well)
    bool unique = false;
};

struct Table {
    std::string name;          // UTF-8
    std::vector<Column> columns;
    std::vector<Row> rows;                     // small tables
    // Large tables: rows produced one by one (return false when done); memory stays flat.
    std::function<bool(Row&)> rowSource;
    std::vector<Index> indexes{};
};

// A relationship between two tables as MSysRelationships keeps it: `table`'s columns refer to
// `referencedTable`'s (the "one" side). The indexes Access adds for it are not written.
struct Relationship {
    std::string name;
    std::string table;
    std::vector<std::string> columns;
    std::string referencedTable;
    std::vector<std::string> referencedColumns;
    bool enforced = true;          // referential integrity
    bool cascadeUpdates = false;
    bool cascadeDeletes = false;
};

struct Database {
    Format format = Format::Jet4;
    std::optional<std::string> password;       // database password (at most 20 characters)
    Encryption encryption = Encryption::Agile; // ACE formats: how the password encrypts the pages
    std::optional<double> created;             // creation date (days since 1899-12-30); default now
    std::vector<Table> tables;
    uint32_t spinCount = 100000;               // agile encryption: hash rounds of the password (Access: 100000)
    uint32_t encodingKey = 0;                  // Jet formats: nonzero encodes every page but page 0 with it (RC4)
    std::vector<Relationship> relationships{};
};

// Throws std::runtime_error on failure (a bad definition or a cell that does not suit its column),
// leaving no file behind.
void writeDatabase(const Database& database, const std::filesystem::path& file);

// Parses "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" (braces optional); nullopt when malformed.
std::optional<GuidValue> parseGuid(const std::string& text);

}  // namespace jetwriter
