#pragma once
// Writes new Access (Jet 3 / Jet 4) database files for tests, benchmarks and the demo.
//
// DRAFT INTERFACE: the writer work fills it in and may extend it; tests of
// other parts use the names below.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace jetwriter {

enum class Format { Jet3, Jet4 };

enum class ColumnType { Byte, Integer, Long, Single, Double, Currency, DateTime, YesNo, Text, Memo, Ole, Guid, Decimal };

struct Column {
    std::string name;          // UTF-8
    ColumnType type;
    int size = 0;              // Text: length in characters (default 50)
    int precision = 18;        // Decimal
    int scale = 0;             // Decimal
};

struct Null {};
struct CurrencyValue { int64_t scaled; };          // value * 10000
struct DateValue { double days; };                 // days since 1899-12-30, as Jet stores it
struct DecimalValue { bool negative; unsigned __int128 mantissa; int scale; };
struct Bytes { std::vector<uint8_t> data; };      // OLE Object
struct GuidValue { uint8_t bytes[16]; };

// A cell: Null, bool (Yes/No), integer, double/float, text (UTF-8), or a typed value.
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
    std::optional<std::string> password;       // database password
    std::vector<Table> tables;
};

// Throws std::runtime_error on failure.
void writeDatabase(const Database& database, const std::filesystem::path& file);

}  // namespace jetwriter
