// Table names, empty tables, wide tables, many pages and long values, in both formats.

#include "WriterFixture.h"
#include "jetwriter/Description.h"

#include <QFile>
#include <QString>

#include <sstream>

namespace jetwriter::test {
namespace {

class TableStructureTest : public WriterTest, public ::testing::WithParamInterface<Format> {};

int pagesOfType(const std::string& path, Format format, char type)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    const qsizetype pageSize = format == Format::Jet3 ? 2048 : 4096;
    int count = 0;
    for (qsizetype at = 0; at < bytes.size(); at += pageSize)
        count += bytes[at] == type ? 1 : 0;
    return count;
}

Table oneLong(const std::string& name) { return Table{name, {{"X", ColumnType::Long}}, {{int64_t{1}}}, {}}; }

TEST_P(TableStructureTest, ListsExactlyTheUserTablesWhateverTheirNames)
{
    const std::vector<std::string> names = {"Order Details", "Übersicht Kunden", "MSYSTEMS", "msysFoo", "MSysLocal", "A"};
    Database database = singleTable(GetParam(), oneLong(names[0]));
    for (size_t i = 1; i < names.size(); ++i)
        database.tables.push_back(oneLong(names[i]));
    const std::string path = write(database);
    const MdbFile file(path);
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(file.tables(false), names);
    const std::vector<std::string> system = {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"};
    EXPECT_EQ(file.tables(true), system);
    EXPECT_EQ(commandOutput("mdb-tables -1 '" + path + "'"), "Order Details\nÜbersicht Kunden\nMSYSTEMS\nmsysFoo\nMSysLocal\nA\n");
    for (const auto& name : names)
        EXPECT_EQ(file.read(name).rows.size(), 1u) << name;
}

TEST_P(TableStructureTest, RefusesDuplicateOrReservedTableNames)
{
    Database duplicate = singleTable(GetParam(), oneLong("Kunden"));
    duplicate.tables.push_back(oneLong("KUNDEN"));
    EXPECT_THROW(write(duplicate), std::runtime_error);
    EXPECT_THROW(write(singleTable(GetParam(), oneLong("MSysObjects"))), std::runtime_error);
    EXPECT_THROW(write(singleTable(GetParam(), oneLong(""))), std::runtime_error);
}

TEST_P(TableStructureTest, EmptyTableHasItsColumnsAndNoRows)
{
    Table empty{"Empty Table", {{"Name", ColumnType::Text, 30}, {"Amount", ColumnType::Currency}, {"Note", ColumnType::Memo}}, {}, {}};
    const std::string path = write(singleTable(GetParam(), empty));
    const MdbFile file(path);
    const ReadTable table = file.read("Empty Table");
    EXPECT_EQ(table.declaredRows, 0u);
    EXPECT_TRUE(table.rows.empty());
    ASSERT_EQ(table.columns.size(), 3u);
    EXPECT_EQ(table.columns[2].name, "Note");
    EXPECT_EQ(commandOutput("mdb-export '" + path + "' 'Empty Table'"), "Name,Amount,Note\n");
}

Cell wideCell(ColumnType type, bool null, int r, int i)
{
    if (type == ColumnType::YesNo)
        return Cell{!null};
    if (null)
        return Cell{Null{}};
    switch (type) {
    case ColumnType::Text: case ColumnType::Memo: return Cell{"t" + std::to_string(r * 1000 + i)};
    case ColumnType::Byte: return Cell{int64_t{r}};
    case ColumnType::Currency: return Cell{CurrencyValue{i * 10000}};
    default: return Cell{int64_t{i}};
    }
}

std::optional<std::string> wideExpected(ColumnType type, bool null, int r, int i)
{
    if (type == ColumnType::YesNo)
        return null ? "0" : "1";
    if (null)
        return std::nullopt;
    switch (type) {
    case ColumnType::Text: case ColumnType::Memo: return "t" + std::to_string(r * 1000 + i);
    case ColumnType::Byte: return std::to_string(r);
    case ColumnType::Currency: return std::to_string(i) + ".0000";
    default: return std::to_string(i);
    }
}

// 255 columns cycling through the types: the definition spans several pages and rows pass 256 bytes.
TEST_P(TableStructureTest, TableOf255ColumnsReadsBack)
{
    const std::vector<ColumnType> cycle = {ColumnType::Text, ColumnType::Long, ColumnType::YesNo, ColumnType::Double,
                                           ColumnType::Memo, ColumnType::Byte, ColumnType::Currency};
    Table table{"Wide", {}, {}, {}};
    for (int i = 0; i < 255; ++i)
        table.columns.push_back({"Column number " + std::to_string(i), cycle[static_cast<size_t>(i) % cycle.size()], 10});
    std::vector<ReadRow> expected;
    for (int r = 0; r < 3; ++r) {
        Row row;
        ReadRow expectedRow;
        for (int i = 0; i < 255; ++i) {
            const ColumnType type = cycle[static_cast<size_t>(i) % cycle.size()];
            const bool null = (i + r) % 5 == 0;
            row.push_back(wideCell(type, null, r, i));
            expectedRow.push_back(wideExpected(type, null, r, i));
        }
        table.rows.push_back(row);
        expected.push_back(expectedRow);
    }
    const auto file = writeAndOpen(singleTable(GetParam(), table));
    const ReadTable read = file->read("Wide");
    ASSERT_EQ(read.columns.size(), 255u);
    EXPECT_EQ(read.columns[254].name, "Column number 254");
    EXPECT_EQ(read.rows, expected);
}

// Enough rows that the pages outgrow an inline usage map, streamed from a row source.
TEST_P(TableStructureTest, ManyRowsAcrossManyPagesAllReadBack)
{
    constexpr int rows = 12000;
    Table table{"Big", {{"ID", ColumnType::Long}, {"Filler", ColumnType::Text, 255}, {"Flag", ColumnType::YesNo}}, {}, {}};
    auto next = std::make_shared<int>(0);
    table.rowSource = [next](Row& row) {
        if (*next == rows)
            return false;
        ++*next;
        row = {int64_t{*next}, std::string(200 + static_cast<size_t>(*next % 55), static_cast<char>('a' + *next % 26)), *next % 2 == 0};
        return true;
    };
    const std::string path = write(singleTable(GetParam(), table));
    const MdbFile file(path, 1024);
    const ReadTable read = file.read("Big");
    EXPECT_GT(pagesOfType(path, GetParam(), 0x05), 0) << "expected bitmap pages of an indirect usage map";
    EXPECT_EQ(read.declaredRows, static_cast<unsigned>(rows));
    ASSERT_EQ(read.rows.size(), static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        const int id = i + 1;
        ASSERT_EQ(read.rows[static_cast<size_t>(i)][0], std::to_string(id));
        ASSERT_EQ(read.rows[static_cast<size_t>(i)][1]->size(), 200u + static_cast<size_t>(id % 55));
        ASSERT_EQ(read.rows[static_cast<size_t>(i)][2], id % 2 == 0 ? "1" : "0");
    }
}

TEST_P(TableStructureTest, LongMemoAndOleValuesSpanPages)
{
    const std::vector<size_t> sizes = {65, 3000, 5000, 100000, 3 * 1024 * 1024};
    Table table{"Long values", {{"ID", ColumnType::Long}, {"Body", ColumnType::Memo}, {"Blob", ColumnType::Ole}}, {}, {}};
    std::vector<std::string> memos;
    std::vector<std::vector<uint8_t>> blobs;
    for (size_t i = 0; i < sizes.size(); ++i) {
        std::string memo;
        while (memo.size() < sizes[i])
            memo += "Zeile " + std::to_string(memo.size()) + " äöü\r\n";
        memo.resize(sizes[i]);
        std::vector<uint8_t> blob(sizes[i]);
        for (size_t k = 0; k < blob.size(); ++k)
            blob[k] = static_cast<uint8_t>(k * 7 + i);
        memos.push_back(memo);
        blobs.push_back(blob);
        table.rows.push_back({static_cast<int64_t>(i), memo, Bytes{blob}});
    }
    const auto file = writeAndOpen(singleTable(GetParam(), table), 8 * 1024 * 1024);
    const ReadTable read = file->read("Long values");
    ASSERT_EQ(read.rows.size(), sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        SCOPED_TRACE(sizes[i]);
        // Cutting at a byte count may split the last UTF-8 character; compare as the writer sees it.
        const std::string expectedMemo = QString::fromUtf8(memos[i]).toStdString();
        const std::string expectedJet3 = QString::fromUtf8(memos[i]).toLatin1().toStdString();
        EXPECT_TRUE(read.rows[i][1] == expectedMemo || (GetParam() == Format::Jet3 && read.rows[i][1].has_value() &&
                                                       QString::fromStdString(*read.rows[i][1]).toLatin1().toStdString() == expectedJet3));
        ASSERT_TRUE(read.rows[i][2].has_value());
        EXPECT_EQ(read.rows[i][2]->size(), blobs[i].size() * 2);
        EXPECT_EQ(QByteArray::fromHex(QByteArray::fromStdString(*read.rows[i][2])),
                  QByteArray(reinterpret_cast<const char*>(blobs[i].data()), static_cast<qsizetype>(blobs[i].size())));
    }
}

// Indexes, Required and AutoNumber columns and relationships from a description, as libmdb's own schema
// export sees them.
TEST_P(TableStructureTest, IndexesRequiredColumnsAndRelationshipsAsMdbToolsSeeThem)
{
    std::istringstream text("format " + std::string(GetParam() == Format::Jet3 ? "jet3" : "jet4") + R"(
table Customers
column ID long autonumber required
column Name text 40 required
column City text 30
index PrimaryKey primary ID
index ByName unique Name desc City
rows
1,Ann,Oslo
end
table Orders
column OrderID long
column CustomerID long
index PrimaryKey primary OrderID
index CustomerID CustomerID
relationship CustomersOrders Orders CustomerID references Customers ID cascadedeletes
)");
    const std::string path = write(parseDescription(text));
    EXPECT_EQ(commandOutput("mdb-schema '" + path + "' postgres | grep -E 'NOT NULL|INDEX|KEY' | grep -v '^--'"),
              "\t\"id\"\t\t\tSERIAL NOT NULL, \n"
              "\t\"name\"\t\t\tVARCHAR (40) NOT NULL, \n"
              "ALTER TABLE \"customers\" ADD CONSTRAINT \"customers_pkey\" PRIMARY KEY (\"id\");\n"
              "CREATE UNIQUE INDEX \"customers_byname_idx\" ON \"customers\" (\"name\" DESC, \"city\");\n"
              "ALTER TABLE \"orders\" ADD CONSTRAINT \"orders_pkey\" PRIMARY KEY (\"orderid\");\n"
              "CREATE INDEX \"orders_customerid_idx\" ON \"orders\" (\"customerid\");\n"
              "ALTER TABLE \"Orders\" ADD CONSTRAINT \"orders_customerid_fk\" FOREIGN KEY (\"customerid\") REFERENCES "
              "\"Customers\"(\"id\") ON DELETE CASCADE DEFERRABLE INITIALLY IMMEDIATE;\n");
}

INSTANTIATE_TEST_SUITE_P(Formats, TableStructureTest, ::testing::Values(Format::Jet3, Format::Jet4),
                         [](const auto& info) { return formatName(info.param); });

// Jet 3 rows keep single-byte offsets plus a jump table; sweep row lengths across the 256-byte steps,
// including a table whose offset table alone nearly fills a step.
TEST_F(WriterTest, Jet3RowsOfEveryLengthAcrossJumpBoundaries)
{
    for (const int textColumns : {6, 240}) {
        SCOPED_TRACE(textColumns);
        Table table{"Sweep", {{"ID", ColumnType::Long}}, {}, {}};
        for (int c = 0; c < textColumns; ++c)
            table.columns.push_back({"T" + std::to_string(c), ColumnType::Text, 255});
        std::vector<ReadRow> expected;
        for (int length = 0; length < 900; length += 7) {
            Row row{int64_t{length}};
            ReadRow expectedRow{std::to_string(length)};
            int left = length;
            for (int c = 0; c < textColumns; ++c) {
                const int take = std::min(left, c % 3 == 0 ? 0 : 150);
                left -= take;
                const std::string text(static_cast<size_t>(take), static_cast<char>('A' + c % 26));
                if (take == 0) {
                    row.emplace_back(Null{});
                    expectedRow.emplace_back();
                } else {
                    row.emplace_back(text);
                    expectedRow.emplace_back(text);
                }
            }
            table.rows.push_back(row);
            expected.push_back(expectedRow);
        }
        const auto file = writeAndOpen(singleTable(Format::Jet3, table));
        EXPECT_EQ(file->read("Sweep").rows, expected);
    }
}

}  // namespace
}  // namespace jetwriter::test
