// Writes the seed corpus of the database fuzzer: small databases of both formats
// that between them hold every column type, Nulls, long values in each storage form
// and a table spread over several pages.
#include "jetwriter/JetWriter.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

namespace {

using namespace jetwriter;

constexpr int kMemoColumn = 9;
constexpr int kOleColumn = 10;
constexpr int kDecimalColumn = 12;

// Jet 3 knows no Decimal; that column is left out there.
Table everyType(Format format)
{
    Table table{"Every Type", {}, {}, {}};
    table.columns = {{"Byte", ColumnType::Byte},         {"Integer", ColumnType::Integer},
                     {"Long", ColumnType::Long},         {"Single", ColumnType::Single},
                     {"Double", ColumnType::Double},     {"Currency", ColumnType::Currency},
                     {"Stamp", ColumnType::DateTime},    {"Flag", ColumnType::YesNo},
                     {"Text", ColumnType::Text, 20},     {"Memo", ColumnType::Memo},
                     {"Ole", ColumnType::Ole},           {"Guid", ColumnType::Guid},
                     {"Decimal", ColumnType::Decimal, 0, 18, 4}, {"Binary", ColumnType::Binary, 16}};
    const GuidValue guid = *parseGuid("{01234567-89AB-CDEF-0123-456789ABCDEF}");
    table.rows.push_back({int64_t{7}, int64_t{-3}, int64_t{123456}, 1.5, -2.25, CurrencyValue{12345},
                          DateValue{36000.5}, true, std::string("Zoë, \"quoted\""), std::string("short memo"),
                          Bytes{{1, 2, 3}}, guid, DecimalValue{true, 123456789, 4}, Bytes{{9, 8, 7}}});
    if (format == Format::Jet3) {
        table.columns.erase(table.columns.begin() + kDecimalColumn);
        for (Row& row : table.rows)
            row.erase(row.begin() + kDecimalColumn);
    }
    table.rows.push_back(Row(table.columns.size(), Null{}));
    // Long enough to leave the row: one long-value row, then a chain of them.
    Row longValues(table.columns.size(), Null{});
    longValues[kMemoColumn] = std::string(3000, 'm');
    longValues[kOleColumn] = Bytes{std::vector<uint8_t>(9000, 0x5A)};
    table.rows.push_back(longValues);
    return table;
}

Table manyRows()
{
    Table table{"Many Rows", {{"ID", ColumnType::Long}, {"Name", ColumnType::Text, 30}}, {}, {}};
    for (int64_t i = 0; i < 400; ++i)
        table.rows.push_back({i, "row " + std::to_string(i)});
    return table;
}

void write(const Database& database, const std::filesystem::path& file)
{
    writeDatabase(database, file);
    std::printf("%s\n", file.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);
        for (const Format format : {Format::Jet3, Format::Jet4}) {
            const std::string suffix = format == Format::Jet3 ? "jet3" : "jet4";
            Database types{format, {}, jetwriter::Encryption::Agile, 36500.0, {everyType(format)}};
            write(types, folder / ("types-" + suffix + ".mdb"));
            Database rows{format, {}, jetwriter::Encryption::Agile, 36500.0, {manyRows()}};
            write(rows, folder / ("rows-" + suffix + ".mdb"));
        }
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
