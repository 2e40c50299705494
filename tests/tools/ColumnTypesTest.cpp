// Every column type, in both formats, read back value by value through libmdb.

#include "WriterFixture.h"

#include <mdbtools.h>

#include <QFile>

#include <filesystem>

namespace jetwriter::test {
namespace {

using Expected = std::optional<std::string>;
const Expected kNull = std::nullopt;

struct TypeCase {
    const char* label;
    Column column;
    std::vector<Cell> cells;
    std::vector<Expected> expected;
    int libmdbType;
    bool jet4Only = false;
    std::vector<Expected> jet3Expected = {};   // where Windows-1252 cannot hold the text
};

std::string repeated(const std::string& unit, size_t times)
{
    std::string out;
    for (size_t i = 0; i < times; ++i)
        out += unit;
    return out;
}

std::vector<TypeCase> typeCases()
{
    const std::string text255 = repeated("é", 255);
    const std::string wideText = "Āb一\u0100x";  // low bytes of zero rule out the compressed form
    const std::string memo1000 = repeated("Memo ü, \"q\"\r\n", 70);
    return {
        {"Byte", {"V", ColumnType::Byte}, {int64_t{0}, int64_t{255}, Null{}}, {"0", "255", kNull}, MDB_BYTE},
        {"Integer", {"V", ColumnType::Integer}, {int64_t{-32768}, int64_t{32767}, Null{}}, {"-32768", "32767", kNull}, MDB_INT},
        {"Long", {"V", ColumnType::Long}, {int64_t{INT32_MIN}, int64_t{INT32_MAX}, Null{}},
         {"-2147483648", "2147483647", kNull}, MDB_LONGINT},
        {"Single", {"V", ColumnType::Single}, {1.5, -0.25, Null{}}, {"1.5", "-0.25", kNull}, MDB_FLOAT},
        {"Double", {"V", ColumnType::Double}, {3.25, -1e10, Null{}}, {"3.25", "-10000000000", kNull}, MDB_DOUBLE},
        {"Currency", {"V", ColumnType::Currency}, {CurrencyValue{35000}, CurrencyValue{-12345678}, Null{}},
         {"3.5000", "-1234.5678", kNull}, MDB_MONEY},
        {"DateTime", {"V", ColumnType::DateTime}, {DateValue{27293.5}, DateValue{45000.0}, Null{}},
         {"1974-09-21 12:00:00", "2023-03-15 00:00:00", kNull}, MDB_DATETIME},
        {"YesNo", {"V", ColumnType::YesNo}, {true, false, true}, {"1", "0", "1"}, MDB_BOOL},
        {"Text", {"V", ColumnType::Text, 255}, {std::string("héllo, \"world\""), text255, wideText, Null{}},
         {"héllo, \"world\"", text255, wideText, kNull}, MDB_TEXT, false, {"héllo, \"world\"", text255, "?b??x", kNull}},
        {"MemoInlineAndPaged", {"V", ColumnType::Memo}, {std::string("short"), memo1000, Null{}},
         {"short", memo1000, kNull}, MDB_MEMO},
        {"Ole", {"V", ColumnType::Ole}, {Bytes{{0x00, 0xFF, 0x10}}, Bytes{std::vector<uint8_t>(300, 0xAB)}, Null{}},
         {"00ff10", repeated("ab", 300), kNull}, MDB_OLE},
        {"Binary", {"V", ColumnType::Binary, 16}, {Bytes{{0x01, 0x02}}, Null{}}, {"\x01\x02", kNull}, MDB_BINARY},
        {"Guid", {"V", ColumnType::Guid}, {std::string("{12345678-9ABC-DEF0-1234-56789ABCDEF0}"), Null{}},
         {"{12345678-9ABC-DEF0-123456789ABCDEF0}", kNull}, MDB_REPID},
        {"Decimal", {"V", ColumnType::Decimal, 0, 12, 3}, {DecimalValue{true, 1234567, 2}, int64_t{42}, Null{}},
         {"-12345.670", "42.000", kNull}, MDB_NUMERIC, true},
    };
}

class ColumnTypesTest : public WriterTest, public ::testing::WithParamInterface<Format> {};

TEST_P(ColumnTypesTest, EachTypeReadsBackValueByValue)
{
    const Format format = GetParam();
    Database database;
    database.format = format;
    std::vector<TypeCase> cases;
    for (auto& c : typeCases()) {
        if (c.jet4Only && format == Format::Jet3)
            continue;
        Table table{c.label, {{"ID", ColumnType::Long}, c.column}, {}, {}};
        for (size_t i = 0; i < c.cells.size(); ++i)
            table.rows.push_back({static_cast<int64_t>(i), c.cells[i]});
        database.tables.push_back(table);
        cases.push_back(c);
    }
    const auto file = writeAndOpen(database);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const ReadTable table = file->read(c.label);
        ASSERT_EQ(table.columns.size(), 2u);
        EXPECT_EQ(table.columns[1].type, c.libmdbType);
        EXPECT_EQ(table.declaredRows, c.cells.size());
        ASSERT_EQ(table.rows.size(), c.cells.size());
        const auto& expected = format == Format::Jet3 && !c.jet3Expected.empty() ? c.jet3Expected : c.expected;
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(table.rows[i][1], expected[i]) << "row " << i;
    }
}

TEST_P(ColumnTypesTest, DeclaredSizesAndDecimalScaleReachTheSchema)
{
    Table table{"Sizes", {{"Code", ColumnType::Text, 7}, {"Name", ColumnType::Text}, {"Amount", ColumnType::Long}}, {}, {}};
    if (GetParam() == Format::Jet4)
        table.columns.push_back({"Price", ColumnType::Decimal, 0, 10, 4});
    const std::string path = write(singleTable(GetParam(), table));
    const MdbFile file(path);
    const ReadTable read = file.read("Sizes");
    const int unit = GetParam() == Format::Jet4 ? 2 : 1;
    EXPECT_EQ(read.columns[0].size, 7 * unit);
    EXPECT_EQ(read.columns[1].size, 50 * unit);
    if (GetParam() == Format::Jet4) {
        const std::string schema = commandOutput("mdb-schema " + path + " 2>&1");
        EXPECT_NE(schema.find("[Price]\t\t\tNumeric (10, 4)"), std::string::npos) << schema;
    }
}

TEST_P(ColumnTypesTest, FixedAndVariableColumnsMixWithNullsInAnyOrder)
{
    Table table{"Mixed",
                {{"T1", ColumnType::Text, 20}, {"N1", ColumnType::Integer}, {"M", ColumnType::Memo}, {"B", ColumnType::YesNo},
                 {"D", ColumnType::Double}, {"T2", ColumnType::Text, 20}, {"L", ColumnType::Long}},
                {}, {}};
    table.rows = {{std::string("a"), int64_t{1}, std::string("m"), true, 1.5, std::string("z"), int64_t{7}},
                  {Null{}, int64_t{2}, Null{}, false, Null{}, std::string("y"), Null{}},
                  {std::string("c"), Null{}, std::string("n"), true, 2.5, Null{}, int64_t{9}}};
    const auto file = writeAndOpen(singleTable(GetParam(), table));
    const ReadTable read = file->read("Mixed");
    const std::vector<ReadRow> expected = {{"a", "1", "m", "1", "1.5", "z", "7"},
                                           {kNull, "2", kNull, "0", kNull, "y", kNull},
                                           {"c", kNull, "n", "1", "2.5", kNull, "9"}};
    EXPECT_EQ(read.rows, expected);
}

TEST_P(ColumnTypesTest, ValuesThatDoNotSuitTheColumnAreRefused)
{
    const std::vector<std::pair<Column, Cell>> refused = {
        {{"V", ColumnType::Byte}, int64_t{256}},
        {{"V", ColumnType::Integer}, int64_t{40000}},
        {{"V", ColumnType::Long}, std::string("x")},
        {{"V", ColumnType::Text, 3}, std::string("four")},
        {{"V", ColumnType::Guid}, std::string("not a guid")},
    };
    for (const auto& [column, cell] : refused) {
        Table table{"T", {column}, {{cell}}, {}};
        EXPECT_THROW(write(singleTable(GetParam(), table)), std::runtime_error) << column.name;
    }
    Table wrongWidth{"T", {{"A", ColumnType::Long}, {"B", ColumnType::Long}}, {{int64_t{1}}}, {}};
    EXPECT_THROW(write(singleTable(GetParam(), wrongWidth)), std::runtime_error);

    // A fault deep in a streamed table leaves no half-written file behind.
    auto produced = std::make_shared<int>(0);
    Table streamed{"S", {{"A", ColumnType::Byte}}, {}, [produced](Row& row) {
                       row = {int64_t{++*produced < 5000 ? 1 : 999}};
                       return true;
                   }};
    EXPECT_THROW(write(singleTable(GetParam(), streamed), "partial.mdb"), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(dir_.file("partial.mdb").toStdString()));
}

// Jet 4 stores text that gains from it in the compressed form: a 0xFF 0xFE marker, one byte per
// character below U+0100, and a zero byte switching to and from two-byte characters.
TEST_F(WriterTest, Jet4TextUsesTheCompressedFormWhereItIsShorter)
{
    const std::string mixed = "abc日本def";
    Table table{"T", {{"A", ColumnType::Text, 20}, {"B", ColumnType::Text, 20}}, {{mixed, std::string("Āx")}}, {}};
    const std::string path = write(singleTable(Format::Jet4, table));
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.contains(QByteArray::fromHex("fffe61626300e5652c6700646566")));
    EXPECT_TRUE(bytes.contains(QByteArray::fromHex("00017800")));  // "Āx" stays two bytes a character
    const MdbFile reader(path);
    EXPECT_EQ(reader.read("T").rows, (std::vector<ReadRow>{{mixed, "Āx"}}));
}

INSTANTIATE_TEST_SUITE_P(Formats, ColumnTypesTest, ::testing::Values(Format::Jet3, Format::Jet4),
                         [](const auto& info) { return formatName(info.param); });

}  // namespace
}  // namespace jetwriter::test
