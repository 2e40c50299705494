// varnex-mkdb: the text description, the synthetic generator and the command itself.

#include "WriterFixture.h"
#include "jetwriter/Description.h"
#include "jetwriter/Generator.h"

#include <QFile>

#include <sstream>

namespace jetwriter::test {
namespace {

std::string mkdb() { return qEnvironmentVariable("VARNEX_BIN_DIR").toStdString() + "/varnex-mkdb"; }

TEST(DescriptionTest, CellsParseFromTheirTextForm)
{
    struct Case {
        ColumnType type;  // of a column named "c"
        std::string text;
        Cell expected;
    };
    const std::vector<Case> cases = {
        {ColumnType::Long, "-42", int64_t{-42}},
        {ColumnType::Double, "2.5e3", 2500.0},
        {ColumnType::Currency, "-12.5", CurrencyValue{-125000}},
        {ColumnType::Currency, "3", CurrencyValue{30000}},
        {ColumnType::DateTime, "1974-09-21 12:00:00", DateValue{27293.5}},
        {ColumnType::DateTime, "1899-12-30", DateValue{0.0}},
        {ColumnType::YesNo, "yes", true},
        {ColumnType::Text, "a,b", std::string("a,b")},
        {ColumnType::Ole, "0x00ff", Bytes{{0x00, 0xFF}}},
    };
    for (const auto& c : cases) {
        const Cell cell = parseCell(Column{"c", c.type}, c.text);
        EXPECT_EQ(cell.index(), c.expected.index()) << c.text;
        if (const auto* d = std::get_if<DateValue>(&cell)) {
            EXPECT_DOUBLE_EQ(d->days, std::get<DateValue>(c.expected).days) << c.text;
        } else if (const auto* m = std::get_if<CurrencyValue>(&cell)) {
            EXPECT_EQ(m->scaled, std::get<CurrencyValue>(c.expected).scaled) << c.text;
        } else if (const auto* b = std::get_if<Bytes>(&cell)) {
            EXPECT_EQ(b->data, std::get<Bytes>(c.expected).data) << c.text;
        }
    }
    for (const auto& [type, text] : std::vector<std::pair<ColumnType, std::string>>{
             {ColumnType::Long, "12x"}, {ColumnType::Currency, "1.23456"}, {ColumnType::DateTime, "2020-13-01"},
             {ColumnType::YesNo, "maybe"}, {ColumnType::Ole, "00ff"}, {ColumnType::Guid, "{123}"}}) {
        EXPECT_THROW(parseCell(Column{"c", type}, text), std::runtime_error) << text;
    }
}

TEST(DescriptionTest, FaultsNameTheirLine)
{
    const std::vector<std::pair<std::string, std::string>> faults = {
        {"format jet5\n", "line 1: "},
        {"table T\ncolumn A long\nrows\n1\nx\n", "line 5: "},
        {"column A long\n", "line 1: "},
        {"table T\ncolumn A widget\n", "line 2: "},
        {"table T\ncolumn A long\ncolumn B long\nrows\n1\n", "line 5: "},
    };
    for (const auto& [text, prefix] : faults) {
        std::istringstream in(text);
        try {
            parseDescription(in);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(prefix, 0), 0u) << e.what();
        }
    }
}

class FrontEndTest : public WriterTest {};

// From description to CSV through the command and mdb-export: quoting, line breaks, Null versus empty.
TEST_F(FrontEndTest, DescribedDatabaseExportsAsDescribed)
{
    const std::string description =
        "# customers\n"
        "format jet4\n"
        "table Kunden und Partner\n"
        "column ID long\n"
        "column Name text 40\n"
        "column Since datetime\n"
        "column Credit currency\n"
        "column Price decimal 8 2\n"
        "rows\n"
        "1,\"Müller, Anna\",2020-01-31 08:30:00,12.5,-3.10\n"
        "2,\"say \"\"hi\"\"\nnext line\",,,\n"
        "3,\"\",1999-12-31,0,0\n"
        "end\n";
    const QString input = dir_.file("desc.txt");
    QFile file(input);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(description.data(), static_cast<qint64>(description.size()));
    file.close();
    const std::string output = dir_.file("out.mdb").toStdString();
    ASSERT_EQ(std::system((mkdb() + " describe '" + input.toStdString() + "' '" + output + "'").c_str()), 0);
    EXPECT_EQ(commandOutput("mdb-export -T '%Y-%m-%d %H:%M:%S' '" + output + "' 'Kunden und Partner'"),
              "ID,Name,Since,Credit,Price\n"
              "1,\"Müller, Anna\",\"2020-01-31 08:30:00\",12.5000,-3.10\n"
              "2,\"say \"\"hi\"\"\nnext line\",,,\n"
              "3,,\"1999-12-31 00:00:00\",0.0000,0.00\n");
}

TEST_F(FrontEndTest, CommandReportsBadInputWithoutWritingAFile)
{
    const std::string output = dir_.file("none.mdb").toStdString();
    EXPECT_NE(std::system((mkdb() + " describe /nonexistent/desc.txt '" + output + "' 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((mkdb() + " frobnicate 2>/dev/null").c_str()), 0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(output)));
}

TEST_F(FrontEndTest, GeneratedTableHasVariedValuesAndAboutOneNullInTen)
{
    const uint64_t rows = 3000;
    const auto file = writeAndOpen(singleTable(Format::Jet4, syntheticTable("Bench", rows, 42)));
    const ReadTable table = file->read("Bench");
    ASSERT_EQ(table.rows.size(), rows);
    size_t nulls = 0, cells = 0;
    bool comma = false, quote = false, lineBreak = false, nonAscii = false;
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const ReadRow& row = table.rows[r];
        EXPECT_EQ(row[0], std::to_string(r + 1));
        for (size_t c = 1; c < row.size(); ++c) {
            if (c == 8)  // Yes/No is never Null
                continue;
            ++cells;
            nulls += row[c].has_value() ? 0 : 1;
        }
        for (size_t c : {1u, 2u}) {
            if (!row[c])
                continue;
            const QString text = QString::fromStdString(*row[c]);
            EXPECT_LE(text.size(), c == 1 ? 50 : 100);
            comma |= text.contains(',');
            quote |= text.contains('"');
            lineBreak |= text.contains("\r\n");
            nonAscii |= std::any_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() > 127; });
        }
    }
    EXPECT_NEAR(static_cast<double>(nulls) / static_cast<double>(cells), 0.10, 0.02);
    EXPECT_TRUE(comma && quote && lineBreak && nonAscii);
}

TEST_F(FrontEndTest, GeneratorIsRepeatableForASeed)
{
    const auto firstRows = [](uint64_t seed) {
        Table table = syntheticTable("B", 50, seed);
        std::vector<std::string> texts;
        Row row;
        while (table.rowSource(row))
            texts.push_back(std::holds_alternative<std::string>(row[2]) ? std::get<std::string>(row[2]) : "<null>");
        return texts;
    };
    EXPECT_EQ(firstRows(7), firstRows(7));
    EXPECT_NE(firstRows(7), firstRows(8));
}

TEST_F(FrontEndTest, DemoDatabaseFromTheBuildHasItsTables)
{
    const std::string path = qEnvironmentVariable("VARNEX_BIN_DIR").toStdString() + "/demo.mdb";
    if (!QFile::exists(QString::fromStdString(path)))
        GTEST_SKIP() << "demo database not built";
    const MdbFile file(path, 128 * 1024);
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(file.tables(false), (std::vector<std::string>{"Customers", "Orders", "Notes with Nulls"}));
    const ReadTable orders = file.read("Orders");
    EXPECT_EQ(orders.columns[0].name, "RECID");
    EXPECT_EQ(orders.rows.size(), 1600u);
    const ReadTable notes = file.read("Notes with Nulls");
    EXPECT_GT(notes.rows[0][2]->size(), 30000u);
}

}  // namespace
}  // namespace jetwriter::test
