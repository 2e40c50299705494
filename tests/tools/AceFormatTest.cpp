// ACE files: complex columns with their hidden tables, extended dates and encrypted pages, read back
// through libmdb and varnex_crypto, and compared with the layout of files Access made.

#include "WriterFixture.h"
#include "crypto/PageCipher.h"
#include "jetwriter/Description.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <fstream>
#include <map>

namespace jetwriter::test {
namespace {

constexpr double kSept2011 = 40798.0;
const std::optional<std::string> kNull;

Table complexTable()
{
    Table table{"Table1",
                {{"id", ColumnType::Text, 255}, {"append-memo-data", ColumnType::VersionedMemo},
                 {"multi-value-data", ColumnType::MultiValue, 255}, {"attach-data", ColumnType::Attachment},
                 {"Nums", ColumnType::MultiValue, 0, 18, 0, ColumnType::Long}, {"Stamp", ColumnType::DateTimeExtended},
                 {"Price", ColumnType::Currency}},
                {}, {}};
    table.rows = {
        {std::string("row1"), Null{}, Null{}, Null{}, Null{}, ExtendedDateValue{0, 0}, CurrencyValue{15000}},
        {std::string("row2"), VersionHistory{{{kSept2011 + 0.5, "row2-memo"}}}, MultiValues{{std::string("value1"), std::string("value4")}},
         Attachments{{{"test_data.txt", {'h', 'i'}}, {"noext", {0x00, 0xFF}}}}, MultiValues{{int64_t{1}, int64_t{-5}}},
         ExtendedDateValue{3652058, 863999999999}, Null{}},
        {std::string("row3"), VersionHistory{{{kSept2011, "first"}, {kSept2011 + 0.25, "second"}}}, Null{},
         Attachments{{{"b.txt", {'b'}}}}, Null{}, ExtendedDateValue{737954, 459001234567}, CurrencyValue{-1}},
    };
    return table;
}

Database aceDatabase(Format format = Format::Ace2010)
{
    Database database = singleTable(format, complexTable());
    database.created = 45000.25;
    return database;
}

// The value table "f_<32 hex>_<column>" of a column, whose name may be cut short.
std::string valueTableOf(const MdbFile& file, const std::string& column)
{
    for (const auto& name : file.tables(true)) {
        const std::string tail = name.size() > 35 ? name.substr(35) : "";
        if (name.rfind("f_", 0) == 0 && !tail.empty() && (column.rfind(tail, 0) == 0 || tail.rfind(column, 0) == 0))
            return name;
    }
    return "";
}

class AceFormatTest : public WriterTest {};

TEST_F(AceFormatTest, ComplexValuesLandInHiddenTablesListedAsAccessListsThem)
{
    const std::string path = write(aceDatabase(), "c.accdb");
    const MdbFile file(path);
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(commandOutput("mdb-tables -1 '" + path + "'"), "Table1\n");
    const auto hidden = file.tables(true);
    for (const char* name : {"MSysComplexColumns", "MSysComplexType_Text", "MSysComplexType_Long", "MSysComplexType_Attachment"})
        EXPECT_NE(std::find(hidden.begin(), hidden.end(), name), hidden.end()) << name;
    const std::string history = valueTableOf(file, "VersionHistory_");
    EXPECT_EQ(history.size(), 64u) << "the value table's name is cut to 64 characters";

    const ReadTable table = file.read("Table1");
    const std::vector<ReadRow> expected = {{"row1", kNull, "1", "1", "1", kNull, "1.5000", "1"},
                                           {"row2", "row2-memo", "2", "2", "2", kNull, kNull, "2"},
                                           {"row3", "second", "3", "3", "3", kNull, "-0.0001", "3"}};
    ASSERT_EQ(table.columns.size(), 8u);
    EXPECT_EQ(table.columns[2].type, 0x12);
    EXPECT_EQ(table.columns[5].type, 0x14);
    EXPECT_EQ(table.columns[7].name.rfind("VersionHistory_", 0), 0u);
    EXPECT_EQ(table.rows, expected);

    EXPECT_EQ(file.read(valueTableOf(file, "multi-value-data")).rows,
              (std::vector<ReadRow>{{"2", "1", "value1"}, {"2", "2", "value4"}}));
    EXPECT_EQ(file.read(valueTableOf(file, "Nums")).rows, (std::vector<ReadRow>{{"2", "1", "1"}, {"2", "2", "-5"}}));
    EXPECT_EQ(file.read(history).rows,
              (std::vector<ReadRow>{{"2", "row2-memo", "2011-09-12 12:00:00", "1"},
                                    {"3", "first", "2011-09-12 00:00:00", "2"},
                                    {"3", "second", "2011-09-12 06:00:00", "3"}}));
    // FileData: raw content (type 0), header of 12 bytes plus the extension with its zero, then the bytes.
    EXPECT_EQ(file.read(valueTableOf(file, "attach-data")).rows,
              (std::vector<ReadRow>{
                  {"2", "00000000" "16000000" "14000000" "01000000" "04000000" "7400780074000000" "6869", kNull,
                   "test_data.txt", kNull, "txt", kNull, "1"},
                  {"2", "00000000" "10000000" "0e000000" "01000000" "01000000" "0000" "00ff", kNull, "noext", kNull, kNull,
                   kNull, "2"},
                  {"3", "00000000" "15000000" "14000000" "01000000" "04000000" "7400780074000000" "62", kNull, "b.txt", kNull,
                   "txt", kNull, "3"}}));

    // MSysComplexColumns links each column to its template, its value table and its table by MSysObjects Id.
    std::map<std::string, std::string> ids;
    for (const auto& row : file.read("MSysObjects").rows)
        ids[*row[2]] = *row[0];
    const ReadTable links = file.read("MSysComplexColumns");
    ASSERT_EQ(links.rows.size(), 4u);
    for (const auto& row : links.rows) {
        SCOPED_TRACE(*row[0]);
        EXPECT_EQ(row[3], ids["Table1"]);
        EXPECT_EQ(row[2], ids[valueTableOf(file, *row[0])]);
    }
    EXPECT_EQ(links.rows[1][1], ids["MSysComplexType_Text"]);
    EXPECT_EQ(links.rows[2][1], ids["MSysComplexType_Attachment"]);
    EXPECT_EQ(links.rows[3][1], ids["MSysComplexType_Long"]);
}

TEST_F(AceFormatTest, ExtendedDatesAreStoredAsTheir42ByteText)
{
    const std::string path = write(aceDatabase(), "d.accdb");
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    for (const char* text : {"0000000000000000000:0000000000000000000:7", "0000000000003652058:0000000863999999999:7",
                             "0000000000000737954:0000000459001234567:7"})
        EXPECT_TRUE(bytes.contains(QByteArray(text, 42))) << text;
    EXPECT_EQ(MdbFile(path).read("Table1").columns[5].size, 42);

    const std::vector<std::pair<std::string, bool>> texts = {
        {"0001-01-01", true}, {"9999-12-31 23:59:59.9999999", true}, {"2021-06-14 12:45:00.12", true},
        {"0000-12-31", false}, {"2021-06-14 12:45:00.12345678", false}, {"2021-06-14 12:45:00.1x", false}};
    for (const auto& [text, valid] : texts) {
        const Column column{"c", ColumnType::DateTimeExtended};
        if (valid)
            EXPECT_NO_THROW(parseCell(column, text)) << text;
        else
            EXPECT_THROW(parseCell(column, text), std::runtime_error) << text;
    }
    const auto parsed = std::get<ExtendedDateValue>(parseCell({"c", ColumnType::DateTimeExtended}, "2021-06-14 12:45:00.12"));
    EXPECT_EQ(parsed.days, 737954);
    EXPECT_EQ(parsed.ticks, 459001200000);
    Database jet = singleTable(Format::Jet4, Table{"T", {{"S", ColumnType::DateTimeExtended}}, {}, {}});
    EXPECT_THROW(write(jet), std::runtime_error);
    jet.tables[0].columns[0].type = ColumnType::Attachment;
    EXPECT_THROW(write(jet), std::runtime_error);
}

std::vector<uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// An encrypted file decrypts, page for page, to the file written without a password.
TEST_F(AceFormatTest, EncryptedFilesDecryptToThePlainFile)
{
    const auto plain = readBytes(write(aceDatabase(), "plain.accdb"));
    for (const auto& [encryption, method] : {std::pair{Encryption::Agile, varnex::crypto::Method::Agile},
                                             std::pair{Encryption::Rc4CryptoApi, varnex::crypto::Method::Rc4CryptoApi}}) {
        SCOPED_TRACE(static_cast<int>(method));
        Database database = aceDatabase();
        database.password = "Geheim€";
        database.encryption = encryption;
        auto bytes = readBytes(write(database, "secret.accdb"));
        ASSERT_EQ(bytes.size(), plain.size());
        const auto header = varnex::crypto::readEncryptionHeader(std::span(bytes).first(4096));
        ASSERT_TRUE(header.ok());
        EXPECT_EQ(header->method, method);
        EXPECT_EQ(varnex::crypto::verifyPassword(*header, u"geheim€").value(), false);
        const auto cipher = varnex::crypto::PageCipher::open(*header, u"Geheim€");
        ASSERT_TRUE(cipher.ok());
        EXPECT_NE(std::vector<uint8_t>(bytes.begin() + 4096, bytes.end()), std::vector<uint8_t>(plain.begin() + 4096, plain.end()));
        for (uint32_t page = 1; page < bytes.size() / 4096; ++page)
            ASSERT_TRUE(cipher->decryptPage(page, std::span(bytes).subspan(page * 4096, 4096)).ok());
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 4096, bytes.end()), std::vector<uint8_t>(plain.begin() + 4096, plain.end()));
        varnex::crypto::clearEncodingKey(std::span(bytes).first(4096));
        const std::string decrypted = dir_.file("decrypted.accdb").toStdString();
        std::ofstream(decrypted, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        EXPECT_EQ(MdbFile(decrypted).read("Table1").rows.size(), 3u);
    }
}

// The hidden tables have the columns, types and order Access gives them (names aside from their GUIDs).
TEST_F(AceFormatTest, HiddenTablesMatchAFileAccessMade)
{
    const QString real = QDir(qEnvironmentVariable("VARNEX_REALDATA")).filePath("complexDataTestV2010.accdb");
    if (!QFile::exists(real))
        GTEST_SKIP() << "no real Access files here";
    const auto shape = [](const MdbFile& file, const std::string& table) {
        static const QRegularExpression guid("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}|[0-9A-F]{32}");
        std::vector<std::string> columns;
        for (const auto& c : file.read(table).columns)
            columns.push_back(QString::fromStdString(c.name).replace(guid, "G").toStdString() + ":" + std::to_string(c.type));
        return columns;
    };
    const MdbFile access(real.toStdString());
    const MdbFile ours(write(aceDatabase(), "c.accdb"));
    for (const char* table : {"MSysComplexColumns", "MSysComplexType_Text", "MSysComplexType_Attachment", "MSysComplexType_Long"})
        EXPECT_EQ(shape(ours, table), shape(access, table)) << table;
    for (const char* column : {"multi-value-data", "attach-data", "VersionHistory_"})
        EXPECT_EQ(shape(ours, valueTableOf(ours, column)), shape(access, valueTableOf(access, column))) << column;
    const auto userShape = shape(access, "Table1");
    for (const char* column : {"id:10", "append-memo-data:12", "multi-value-data:18", "attach-data:18", "VersionHistory_G:18"}) {
        const auto ourShape = shape(ours, "Table1");
        EXPECT_NE(std::find(userShape.begin(), userShape.end(), column), userShape.end()) << column;
        EXPECT_NE(std::find(ourShape.begin(), ourShape.end(), column), ourShape.end()) << column;
    }
}

// Calculated results are stored as Access stored the same results in a file it made (calcFieldTestV2010:
// the bytes below are copied from its rows), and their expression and result type are the column's
// properties, which mdbtools reads.
TEST_F(AceFormatTest, CalculatedResultsAreWrappedAsAccessWrapsThem)
{
    auto column = [](const char* name, ColumnType type, const char* expression, uint8_t descriptorType = 0) {
        Column c{name, type, type == ColumnType::Text ? 100 : 0};
        c.expression = expression;
        c.typeCode = descriptorType;
        return c;
    };
    Table table{"Calc",
                {{"ID", ColumnType::Long}, column("LastFirst", ColumnType::Text, "[LastName] & \", \" & [FirstName]"),
                 column("MonthlySalary", ColumnType::Currency, "[Salary]/12", 0x07), column("IsRich", ColumnType::YesNo, "[Salary]>100000", 0x03),
                 column("WeeklySalary", ColumnType::Decimal, "[Salary]/52", 0x07)},
                {{int64_t{1}, std::string("Wayne, Bruce"), CurrencyValue{833333333}, true, DecimalValue{false, 192307692307692, 10}},
                 {int64_t{2}, Null{}, Null{}, Null{}, Null{}}},
                {}};
    const std::string path = write(singleTable(Format::Ace2010, table), "calc.accdb");
    const QByteArray bytes = [&] {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    const QByteArray head(16, '\0');
    for (const char* result : {"0e000000fffe5761796e652c204272756365000000", "0800000055a8ab3100000000000000",
                               "01000000ff000000", "100000000e000a0000000000ec04b01fe7ae0000000000",
                               "00000000000000"})  // a Null: an empty result
        EXPECT_TRUE(bytes.contains(head + QByteArray::fromHex(result))) << result;
    EXPECT_EQ(commandOutput("mdb-prop '" + path + "' Calc | grep -E '^name|Expression|ResultType'"),
              "name: LastFirst\n\tExpression: [LastName] & \", \" & [FirstName]\n\tResultType: 10\n"
              "name: MonthlySalary\n\tExpression: [Salary]/12\n\tResultType: 5\n"
              "name: IsRich\n\tExpression: [Salary]>100000\n\tResultType: 1\n"
              "name: WeeklySalary\n\tExpression: [Salary]/52\n\tResultType: 16\n");
    const auto columns = MdbFile(path).read("Calc").columns;
    ASSERT_EQ(columns.size(), 5u);
    EXPECT_EQ(columns[2].type, 0x07);  // the descriptor's, not the result's
    EXPECT_EQ(columns[3].type, 0x03);
    Database jet = singleTable(Format::Ace2007, table);
    EXPECT_THROW(write(jet), std::runtime_error);  // Access 2010 and later only
}

// A complex column renamed after it was created keeps the old name in its hidden table and its link.
TEST_F(AceFormatTest, RenamedComplexColumnsKeepTheirNameOfCreationInTheHiddenTables)
{
    Column files{"Attachments", ColumnType::Attachment};
    files.createdAs = "Field1";
    const std::string path = write(singleTable(Format::Ace2010, Table{"T", {files}, {{Attachments{{{"a.txt", {'a'}}}}}}, {}}), "r.accdb");
    const MdbFile file(path);
    EXPECT_EQ(file.read("T").columns[0].name, "Attachments");
    EXPECT_EQ(file.read("MSysComplexColumns").rows.at(0).at(0), "Field1");
    const std::string values = valueTableOf(file, "Field1");
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(file.read(values).columns.at(0).name, "_Field1");
}

}  // namespace
}  // namespace jetwriter::test
