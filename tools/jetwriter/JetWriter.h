#pragma once
// Writes new Access (Jet 3 / Jet 4) database files for tests, benchmarks and the demo.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace jetwriter {

enum class Format { Jet3, Jet4 };

// Binary: variable-length bytes of at most `size` (default 255), as in the system tables.
enum class ColumnType { Byte, Integer, Long, Single, Double, Currency, DateTime, YesNo, Text, Memo, Ole, Guid, Decimal, Binary };

struct Column {
    std::string name;          // UTF-8
    ColumnType type;
    int size = 0;              // Text: length in characters (default 50, at most 255)
    int precision = 18;        // Decimal
    int scale = 0;             // Decimal
};

struct Null {};
struct CurrencyValue { int64_t scaled; };          // value * 10000
struct DateValue { double days; };                 // days since 1899-12-30, as Jet stores it
__extension__ typedef unsigned __int128 Uint128;                      // GCC/Clang builtin
struct DecimalValue { bool negative; Uint128 mantissa; int scale; };  // value = mantissa / 10^scale
struct Bytes { std::vector<uint8_t> data; };      // OLE Object / Binary
// The 16 bytes as stored: Data1 (4), Data2 (2), Data3 (2) little-endian, then Data4 (8).
struct GuidValue { uint8_t bytes[16]; };

// A cell: Null, bool (Yes/No), integer, double/float, text (UTF-8), or a typed value.
// Yes/No has no Null (Jet keeps it in the null mask): Null is written as No.
// Integers are accepted for every numeric type, doubles for Single, Double, Currency and Date/Time,
// text "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" for Replication ID.
using Cell = std::variant<Null, bool, int64_t, double, std::string, CurrencyValue, DateValue, DecimalValue, Bytes, GuidValue>;
using Row = std::vector<Cell>;

struct Table {
    std::string name;          // UTF-8
    std::vector<Column> columns;
    std::vector<Row> rows;                     // small tables
    // Large tables: rows produced one by one (return false when done); memory stays flat.
    std::function<bool(Row&)> rowSource;
};

struct Database {
    Format format = Format::Jet4;
    std::optional<std::string> password;       // database password (at most 20 characters)
    std::optional<double> created;             // creation date (days since 1899-12-30); default now
    std::vector<Table> tables;
};

// Throws std::runtime_error on failure (a bad definition or a cell that does not suit its column),
// leaving no file behind.
void writeDatabase(const Database& database, const std::filesystem::path& file);

// Parses "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" (braces optional); nullopt when malformed.
std::optional<GuidValue> parseGuid(const std::string& text);

}  // namespace jetwriter
