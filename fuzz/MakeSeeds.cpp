// Writes the seed corpus of the database fuzzer: small databases of every format
// that between them hold every column type, Nulls, long values in each storage form,
// a table spread over several pages, complex columns (renamed ones too) and extended
// dates, calculated columns of every result type, columns of unknown type codes,
// encrypted and encoded pages, indexes and relationships, deflated attachments, and
// damaged encryption headers, pages, hidden tables, calculated results and deflate streams.
#include "jetwriter/JetWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

// Attachments, multi-value and version-history columns with their hidden tables, and extended dates.
Table complexColumns()
{
    Table table{"Complex",
                {{"Name", ColumnType::Text},
                 {"Notes", ColumnType::VersionedMemo},
                 {"Tags", ColumnType::MultiValue},
                 {"Files", ColumnType::Attachment},
                 {"Sizes", ColumnType::MultiValue, 0, 18, 0, ColumnType::Double},
                 {"Stamp", ColumnType::DateTimeExtended}},
                {},
                {}};
    table.rows.push_back({std::string("one"), VersionHistory{{{40000.0, "old"}, {40001.5, "new"}}},
                          MultiValues{{std::string("a"), std::string("b")}}, Attachments{{{"a.txt", {'h', 'i'}}}},
                          MultiValues{{1.5, -2.0}}, ExtendedDateValue{737954, 459001234567}});
    table.rows.push_back(Row(table.columns.size(), Null{}));
    return table;
}

// Tables with indexes (of several keys, descending too), Required and AutoNumber columns and the
// relationships between them; on ACE, a table whose attachment is stored deflated.
Database related(Format format)
{
    Column id{"ID", ColumnType::Long};
    id.autoNumber = true;
    id.required = true;
    Table customers{"Customers", {id, {"Name", ColumnType::Text, 30}, {"City", ColumnType::Text, 30}},
                    {{int64_t{1}, std::string("Ann"), std::string("Oslo")}, {int64_t{2}, std::string("Bob"), Null{}}}, {}};
    customers.indexes = {{"PrimaryKey", {{"ID"}}, true, false}, {"ByName", {{"Name", true}, {"City"}}, false, true}};
    Table orders{"Orders", {{"OrderID", ColumnType::Long}, {"CustomerID", ColumnType::Long}, {"Amount", ColumnType::Currency}},
                 {{int64_t{10}, int64_t{1}, CurrencyValue{125000}}, {int64_t{11}, int64_t{2}, Null{}}}, {}};
    orders.indexes = {{"PrimaryKey", {{"OrderID"}}, true, false}, {"CustomerID", {{"CustomerID"}}, false, false}};
    Database database{format, {}, Encryption::Agile, 36500.0, {customers, orders}};
    database.relationships = {{"CustomersOrders", "Orders", {"CustomerID"}, "Customers", {"ID"}, true, true, true},
                              {"Loose", "Customers", {"ID", "Name"}, "Orders", {"OrderID", "CustomerID"}, false}};
    if (format == Format::Ace2010) {
        Table files{"Files", {{"FileID", ColumnType::Long}, {"Docs", ColumnType::Attachment}},
                    {{int64_t{5}, Attachments{{{"long.txt", std::vector<uint8_t>(600, 'z')}, {"b.bin", {0, 1}}}}}}, {}};
        files.indexes = {{"PrimaryKey", {{"FileID"}}, true, false}};
        database.tables.push_back(files);
    }
    return database;
}

Column calculated(const char* name, ColumnType type, uint8_t descriptorType = 0)
{
    Column column{name, type, type == ColumnType::Text ? 60 : 0};
    column.expression = std::string("[ID] & \"") + name + "\"";
    column.typeCode = descriptorType;
    return column;
}

// Access 2010's calculated columns of every result type, some with another type in their descriptor.
Table calculatedColumns()
{
    Table table{"Calculated",
                {{"ID", ColumnType::Long}, calculated("Text", ColumnType::Text), calculated("Memo", ColumnType::Memo, 0x0A),
                 calculated("Byte", ColumnType::Byte), calculated("Integer", ColumnType::Integer), calculated("Long", ColumnType::Long),
                 calculated("Single", ColumnType::Single, 0x10), calculated("Double", ColumnType::Double),
                 calculated("Currency", ColumnType::Currency, 0x07), calculated("Date", ColumnType::DateTime),
                 calculated("YesNo", ColumnType::YesNo, 0x03), calculated("Guid", ColumnType::Guid),
                 calculated("Decimal", ColumnType::Decimal, 0x07)},
                {},
                {}};
    const GuidValue guid = *parseGuid("{01234567-89AB-CDEF-0123-456789ABCDEF}");
    table.rows.push_back({int64_t{1}, std::string("calculated text"), std::string(3000, 'c'), int64_t{200}, int64_t{-300},
                          int64_t{70000}, 1.5, -2.25, CurrencyValue{833333333}, DateValue{40000.5}, true, guid,
                          DecimalValue{true, 192307692307692, 10}});
    Row nulls(table.columns.size(), Null{});
    nulls[0] = int64_t{2};
    table.rows.push_back(nulls);
    return table;
}

// Complex columns renamed after they were created, and columns (and multi-value values) of type codes
// no Access version defines.
Table renamedAndUnknown()
{
    Column files{"Attachments", ColumnType::Attachment};
    files.createdAs = "Field1";
    Column tags{"Tags", ColumnType::MultiValue};
    tags.createdAs = "Attachments";
    Column shape{"Shape", ColumnType::Unknown, 12};
    shape.typeCode = 0x46;
    Column blob{"Blob", ColumnType::Unknown};
    blob.typeCode = 0x47;
    Column points{"Points", ColumnType::MultiValue, 0, 18, 0, ColumnType::Unknown};
    points.typeCode = 0x47;
    Table table{"Renamed", {{"Name", ColumnType::Text}, files, tags, shape, blob, points}, {}, {}};
    table.rows.push_back({std::string("one"), Attachments{{{"a.txt", {'a'}}}}, MultiValues{{std::string("x"), std::string("y")}},
                          Bytes{std::vector<uint8_t>(12, 1)}, Bytes{{1, 2, 3}}, MultiValues{{std::string("abc")}}});
    table.rows.push_back(Row(table.columns.size(), Null{}));
    return table;
}

// The password of the encrypted seeds; the fuzzer opens them with it. Few hash rounds keep each input quick.
Database encrypted(Format format, Encryption encryption)
{
    Database database{format, std::string("fuzz"), encryption, 36500.0, {complexColumns(), manyRows()}};
    database.spinCount = 16;
    return database;
}

using FileBytes = std::vector<uint8_t>;

FileBytes readAll(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return FileBytes(std::istreambuf_iterator<char>(in), {});
}

void write(const Database& database, const std::filesystem::path& file)
{
    writeDatabase(database, file);
    std::printf("%s\n", file.c_str());
}

// A seed made from another by damaging its bytes.
void writeDamaged(const std::filesystem::path& from, const std::filesystem::path& file, void (*damage)(FileBytes&))
{
    FileBytes bytes = readAll(from);
    damage(bytes);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::printf("%s\n", file.c_str());
}

constexpr size_t kPage = 4096;

// The definition page (type 2) that names a column, in UTF-16 as Jet 4 and ACE keep names.
size_t definitionWithColumn(const FileBytes& bytes, const std::string& column)
{
    std::string wide;
    for (char c : column)
        wide += std::string{c, '\0'};
    for (size_t page = 1; page < bytes.size() / kPage; ++page) {
        const auto* start = reinterpret_cast<const char*>(bytes.data() + page * kPage);
        if (bytes[page * kPage] == 2 && std::string_view(start, kPage).find(wide) != std::string_view::npos)
            return page;
    }
    return 0;
}

// The definition continues on itself.
void loopDefinition(FileBytes& bytes, const std::string& column)
{
    const auto page = static_cast<uint32_t>(definitionWithColumn(bytes, column));
    if (page != 0)
        std::memcpy(bytes.data() + page * kPage + 4, &page, sizeof page);
}

void replaceText(FileBytes& bytes, const std::string& from, const std::string& to)
{
    const auto at = std::search(bytes.begin(), bytes.begin() + kPage, from.begin(), from.end());
    if (at != bytes.begin() + kPage)
        std::copy(to.begin(), to.end(), at);
}

// The first row of the last data page made a pointer to a row moved elsewhere: to the row past
// the page's last, which the page's free space gives start 0 and length 0.
void moveRowToEmptyRow(FileBytes& bytes)
{
    constexpr size_t kRowCountAt = 12;
    constexpr size_t kFirstRowAt = 14;
    for (size_t page = bytes.size() / kPage - 1; page > 0; --page) {
        uint8_t* at = bytes.data() + page * kPage;
        if (at[0] != 1)
            continue;
        uint16_t rows = 0;
        uint16_t start = 0;
        std::memcpy(&rows, at + kRowCountAt, sizeof rows);
        std::memcpy(&start, at + kFirstRowAt, sizeof start);
        const auto flagged = static_cast<uint16_t>(start | 0x4000);
        std::memcpy(at + kFirstRowAt, &flagged, sizeof flagged);
        const auto pointer = static_cast<uint32_t>(page << 8 | (rows + 1u));
        std::memcpy(at + (start & 0x1FFF), &pointer, sizeof pointer);
        return;
    }
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
        writeDamaged(folder / "rows-jet4.mdb", folder / "rows-moved-to-empty-jet4.mdb", moveRowToEmptyRow);
        Database encoded{Format::Jet4, {}, Encryption::Agile, 36500.0, {everyType(Format::Jet4), manyRows()}};
        encoded.encodingKey = 0x2A5C19E7;
        write(encoded, folder / "encoded-jet4.mdb");
        write(Database{Format::Ace2010, {}, Encryption::Agile, 36500.0, {complexColumns(), everyType(Format::Jet4)}},
              folder / "complex-ace2010.accdb");
        write(encrypted(Format::Ace2010, Encryption::Agile), folder / "agile-ace2010.accdb");
        write(related(Format::Jet3), folder / "related-jet3.mdb");
        write(related(Format::Ace2010), folder / "related-ace2010.accdb");
        // A deflated attachment whose stream is damaged part of the way.
        writeDamaged(folder / "related-ace2010.accdb", folder / "related-deflate-damaged.accdb", [](FileBytes& b) {
            const FileBytes zlib = {0x78, 0xDA};
            const auto at = std::search(b.begin(), b.end(), zlib.begin(), zlib.end());
            if (b.end() - at > 8)
                std::fill(at + 4, at + 8, uint8_t{0xFF});
        });
        write(encrypted(Format::Ace2007, Encryption::Rc4CryptoApi), folder / "rc4-ace2007.accdb");

        writeDamaged(folder / "agile-ace2010.accdb", folder / "agile-key-length.accdb",
                     [](FileBytes& b) { replaceText(b, "keyBits=\"256\"", "keyBits=\"100\""); });
        writeDamaged(folder / "agile-ace2010.accdb", folder / "agile-header-cut.accdb", [](FileBytes& b) {
            b[0x299] = 0xFF;
            b[0x29A] = 0x0F;
        });
        writeDamaged(folder / "agile-ace2010.accdb", folder / "agile-pages-cut.accdb",
                     [](FileBytes& b) { b.resize(b.size() - kPage - kPage / 3); });
        writeDamaged(folder / "rc4-ace2007.accdb", folder / "rc4-pages-cut.accdb", [](FileBytes& b) { b.resize(b.size() / 2 + 100); });
        writeDamaged(folder / "complex-ace2010.accdb", folder / "complex-values-damaged.accdb",
                     [](FileBytes& b) { loopDefinition(b, "_Files"); });
        writeDamaged(folder / "complex-ace2010.accdb", folder / "complex-links-damaged.accdb",
                     [](FileBytes& b) { loopDefinition(b, "FlatTableID"); });
        write(Database{Format::Ace2010, {}, Encryption::Agile, 36500.0, {calculatedColumns(), renamedAndUnknown()}},
              folder / "calculated-ace2010.accdb");
        // A calculated result claiming more bytes than its row holds.
        writeDamaged(folder / "calculated-ace2010.accdb", folder / "calculated-length-damaged.accdb", [](FileBytes& b) {
            const std::string text = "calculated text";
            FileBytes result = {0xFF, 0xFE};  // compressed Jet 4 text
            result.insert(result.end(), text.begin(), text.end());
            const auto at = std::search(b.begin(), b.end(), result.begin(), result.end());
            if (at != b.end() && at - b.begin() >= 4)
                std::fill(at - 4, at, uint8_t{0x7F});
        });
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
