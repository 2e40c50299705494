// What Access 2007 and later files add: complex columns (attachments, multi-value, version history) and
// Date/Time Extended values as their text, their order in a sort, and the table list without the hidden
// tables behind complex columns; all read through the reader process.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"  // gcc 12 false alarm on std::variant in lists

#include "WriterDatabase.h"

#include "store/FieldTypes.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

namespace varnex {
namespace {

using jetwriter::Attachments;
using jetwriter::ColumnType;
using jetwriter::ExtendedDateValue;
using jetwriter::MultiValues;
using jetwriter::Null;
using jetwriter::VersionHistory;

const QString kAce = QStringLiteral("Provider=Microsoft.ACE.OLEDB.12.0");

jetwriter::Table ComplexTable()
{
    jetwriter::Table table{"Things",
                           {{"Name", ColumnType::Text},
                            {"Notes", ColumnType::VersionedMemo},
                            {"Tags", ColumnType::MultiValue},
                            {"Files", ColumnType::Attachment},
                            {"Sizes", ColumnType::MultiValue, 0, 18, 0, ColumnType::Double},
                            {"Counts", ColumnType::MultiValue, 0, 18, 0, ColumnType::Long},
                            {"Stamp", ColumnType::DateTimeExtended}},
                           {},
                           {}};
    table.rows = {
        {std::string("empty"), Null{}, Null{}, Null{}, Null{}, Null{}, ExtendedDateValue{0, 0}},
        {std::string("full"), VersionHistory{{{40798.0, "first"}, {40798.5, "newest"}}},
         MultiValues{{std::string("red"), std::string("green; blue")}},
         Attachments{{{"report.pdf", {'%', 'P'}}, {"photo.JPG", {0xFF, 0xD8}}, {"noext", {}}}}, MultiValues{{2.5, -0.125}},
         MultiValues{{int64_t{3}, int64_t{-1}, int64_t{3}}}, ExtendedDateValue{737954, 459001234567}},
        {std::string("last"), VersionHistory{{{40799.0, "only"}}}, MultiValues{{std::string("one")}}, Null{}, Null{},
         MultiValues{{int64_t{7}}}, ExtendedDateValue{3652058, 863999999999}},
        {std::string("noon"), Null{}, Null{}, Null{}, Null{}, Null{}, ExtendedDateValue{737954, 432000000000}},
    };
    return table;
}

using Rows = std::vector<std::string>;  // each row's cell texts joined by " | "

struct LocaleCase {
    QLocale locale;
    Rows rows;
};

class AceContentTest : public ::testing::Test {
protected:
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    QString write(const jetwriter::Database& database, const QString& name = QStringLiteral("content.accdb"))
    {
        return test::WriteDatabase(dir_, database, name);
    }

    // Every cell's text in both forms the program formats them in, which must agree.
    static Rows texts(const Recordset& rs)
    {
        Rows rows;
        for (int64_t row = 0; row < *rs.recordCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < rs.columnCount(); ++column) {
                std::string utf8;
                rs.appendCellTextUtf8(row, column, utf8);
                EXPECT_EQ(QString::fromStdString(utf8), rs.cellText(row, column));
                cells << rs.cellText(row, column);
            }
            rows.push_back(cells.join(" | ").toStdString());
        }
        return rows;
    }

    std::shared_ptr<Recordset> load(Connection& connection, const QString& table)
    {
        auto rs = std::make_shared<Recordset>();
        const Status opened = rs->open(table, &connection);
        EXPECT_TRUE(opened.ok()) << opened.error().description.toStdString();
        return opened.ok() ? rs : nullptr;
    }

    test::TempDir dir_;
};

TEST_F(AceContentTest, ComplexColumnsAndExtendedDatesShowAsAccessShowsThem)
{
    const std::vector<LocaleCase> cases = {
        {QLocale(QLocale::English, QLocale::UnitedStates),
         {"empty |  |  |  |  |  | 1/1/0001",
          "full | newest | red; green; blue | report.pdf; photo.JPG; noext | 2.5; -0.125 | 3; -1; 3 | 6/14/2021 12:45:00.1234567 PM",
          "last | only | one |  |  | 7 | 12/31/9999 11:59:59.9999999 PM",
          "noon |  |  |  |  |  | 6/14/2021 12:00:00 PM"}},
        {QLocale(QLocale::German, QLocale::Germany),
         {"empty |  |  |  |  |  | 01.01.0001",
          "full | newest | red; green; blue | report.pdf; photo.JPG; noext | 2,5; -0,125 | 3; -1; 3 | 14.06.2021 12:45:00,1234567",
          "last | only | one |  |  | 7 | 31.12.9999 23:59:59,9999999",
          "noon |  |  |  |  |  | 14.06.2021 12:00:00"}},
    };
    jetwriter::Database database{jetwriter::Format::Ace2010, {}, jetwriter::Encryption::Agile, 45000.0, {ComplexTable()}};
    Connection connection;
    connection.setConnectionString(kAce);
    ASSERT_TRUE(connection.open(write(database), "Admin", "").ok());
    const auto rs = load(connection, "Things");
    ASSERT_TRUE(rs);
    // The version history's own column is not shown; its memo column holds the newest text.
    QStringList names;
    QList<FieldType> types;
    for (int column = 0; column < rs->columnCount(); ++column) {
        names << rs->columnName(column);
        types << rs->columnType(column);
    }
    EXPECT_EQ(names.join(", ").toStdString(), "Name, Notes, Tags, Files, Sizes, Counts, Stamp");
    using enum FieldType;
    EXPECT_EQ(types, (QList<FieldType>{VarWChar, LongVarWChar, LongVarWChar, LongVarWChar, LongVarWChar, LongVarWChar,
                                     DBTimeStamp}));
    for (const LocaleCase& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        QLocale::setDefault(c.locale);
        EXPECT_EQ(texts(*rs), c.rows);
    }
    EXPECT_TRUE(rs->isNull(0, 2));
    EXPECT_EQ(rs->value(1, 4), Variant::text(QStringLiteral("2,5; -0,125")));
    EXPECT_EQ(rs->value(2, 6), Variant::extendedDate(3652058 * 864000000000 + 863999999999));
}

// Extended dates sort as dates, lists by the text they show, Nulls first.
TEST_F(AceContentTest, ExtendedDatesAndListsSortByWhatTheyMean)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    jetwriter::Table table{"Sorted", {{"ID", ColumnType::Long}, {"When", ColumnType::DateTimeExtended},
                                      {"Tags", ColumnType::MultiValue}}, {}, {}};
    table.rows = {{int64_t{1}, ExtendedDateValue{737954, 1}, MultiValues{{std::string("b"), std::string("a")}}},
                  {int64_t{2}, ExtendedDateValue{5, 0}, MultiValues{{std::string("a"), std::string("z")}}},
                  {int64_t{3}, Null{}, Null{}},
                  {int64_t{4}, ExtendedDateValue{737954, 0}, MultiValues{{std::string("B")}}},
                  {int64_t{5}, ExtendedDateValue{3652058, 0}, MultiValues{{std::string("a")}}}};
    jetwriter::Database database{jetwriter::Format::Ace2007, {}, jetwriter::Encryption::Agile, 45000.0, {table}};
    Connection connection;
    connection.setConnectionString(kAce);
    ASSERT_TRUE(connection.open(write(database), "Admin", "").ok());
    const auto rs = load(connection, "Sorted");
    ASSERT_TRUE(rs);
    const std::vector<std::pair<QString, QStringList>> sorts = {
        {"[When]", {"3", "2", "4", "1", "5"}},
        {"[When] DESC", {"5", "1", "4", "2", "3"}},
        {"[Tags]", {"3", "5", "2", "4", "1"}},
    };
    for (const auto& [sort, ids] : sorts) {
        SCOPED_TRACE(sort.toStdString());
        ASSERT_TRUE(rs->setSort(sort).ok());
        QStringList order;
        for (int64_t row = 0; row < *rs->recordCount(); ++row)
            order << rs->cellText(row, 0);
        EXPECT_EQ(order.join(" ").toStdString(), ids.join(" ").toStdString());
    }
}

// Complex columns renamed after they were created keep their values: their hidden tables keep the old
// names, and are found by the column's complex id. Columns of type codes no Access version defines show
// a placeholder (no text, no value) and are each named in a warning.
TEST_F(AceContentTest, RenamedComplexColumnsKeepTheirValuesAndUnknownTypesAreNamed)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    jetwriter::Column files{"Attachments", ColumnType::Attachment};
    files.createdAs = "Field1";
    jetwriter::Column tags{"Tags", ColumnType::MultiValue, 0, 18, 0, ColumnType::Long};
    tags.createdAs = "Attachments";  // the name another column has now
    jetwriter::Column shape{"Shape", ColumnType::Unknown, 12};
    shape.typeCode = 0x46;
    jetwriter::Column blob{"Blob", ColumnType::Unknown};
    blob.typeCode = 0x47;
    jetwriter::Column points{"Points", ColumnType::MultiValue, 0, 18, 0, ColumnType::Unknown};
    points.typeCode = 0x47;
    jetwriter::Table table{"Parts", {{"Name", ColumnType::Text}, files, tags, shape, blob, points}, {}, {}};
    table.rows = {{std::string("one"), Attachments{{{"a.txt", {'a'}}, {"b.png", {'b'}}}}, MultiValues{{int64_t{5}, int64_t{-2}}},
                   jetwriter::Bytes{std::vector<uint8_t>(12, 1)}, jetwriter::Bytes{{1, 2, 3, 4, 5}},
                   MultiValues{{std::string("abc"), std::string("de")}}},
                  {std::string("two"), Null{}, Null{}, Null{}, Null{}, Null{}},
                  {std::string("three"), Attachments{{{"c.pdf", {}}}}, MultiValues{{int64_t{7}}}, jetwriter::Bytes{std::vector<uint8_t>(12, 0)},
                   jetwriter::Bytes{{9}}, MultiValues{{std::string("x")}}}};
    jetwriter::Database database{jetwriter::Format::Ace2010, {}, jetwriter::Encryption::Agile, 45000.0, {table}};
    Connection connection;
    connection.setConnectionString(kAce);
    ASSERT_TRUE(connection.open(write(database), "Admin", "").ok());
    const auto rs = load(connection, "Parts");
    ASSERT_TRUE(rs);
    EXPECT_EQ(texts(*rs), (Rows{"one | a.txt; b.png | 5; -2 |  |  | ", "two |  |  |  |  | ", "three | c.pdf | 7 |  |  | "}));
    const std::vector<std::vector<QString>> placeholders = {
        {"(unsupported type 0x46, 12 bytes)", "(unsupported type 0x47, 5 bytes)", "(unsupported type 0x47, 5 bytes)"},
        {"", "", ""},
        {"(unsupported type 0x46, 12 bytes)", "(unsupported type 0x47, 1 byte)", "(unsupported type 0x47, 1 byte)"}};
    for (int64_t row = 0; row < 3; ++row) {
        for (int column = 3; column < 6; ++column) {
            EXPECT_EQ(rs->unreadCellText(row, column), placeholders[static_cast<size_t>(row)][static_cast<size_t>(column - 3)]);
            EXPECT_TRUE(rs->isNull(row, column));
            EXPECT_TRUE(rs->value(row, column).isNull());
        }
        EXPECT_EQ(rs->unreadCellText(row, 1), "");
    }
    EXPECT_EQ(rs->columnType(3), FieldType::Unsupported);
    EXPECT_EQ(rs->columnType(5), FieldType::Unsupported);
    QStringList warnings;
    for (const ReadWarning& warning : rs->warnings())
        warnings << warning.text();
    EXPECT_EQ(warnings.join('\n').toStdString(),
              "table 'Parts': column 'Shape': its type 0x46 is not supported; its values are left empty\n"
              "table 'Parts': column 'Blob': its type 0x47 is not supported; its values are left empty\n"
              "table 'Parts': column 'Points': its values are of type 0x47, which is not supported; left empty");
    // Sorted by a column of unknown type, the rows keep their order.
    ASSERT_TRUE(rs->setSort("[Shape] DESC").ok());
    EXPECT_EQ(rs->cellText(0, 0), "one");
}

QStringList SchemaNames(Connection& connection)
{
    const auto schema = connection.openTableSchema();
    EXPECT_TRUE(schema.ok());
    if (!schema.ok())
        return {};
    QStringList names;
    for (int64_t row = 0; row < *(*schema)->recordCount(); ++row)
        names << (*schema)->cellText(row, 2);
    return names;
}

// The hidden tables of complex columns are not in the schema; tables merely named like them are.
TEST_F(AceContentTest, TableListLeavesOutTheHiddenTablesOfComplexColumns)
{
    const std::string lookalike = "f_0123456789ABCDEF0123456789ABCDEF_Data";
    jetwriter::Database database{jetwriter::Format::Ace2010, {}, jetwriter::Encryption::Agile, 45000.0,
                                 {ComplexTable(), {lookalike, {{"Data", ColumnType::Long}}, {}, {}},
                                  {"MSysComplexType_Mine", {{"Value", ColumnType::Long}}, {}, {}}}};
    Connection connection;
    connection.setConnectionString(kAce);
    ASSERT_TRUE(connection.open(write(database), "Admin", "").ok());
    const QStringList names = SchemaNames(connection);
    EXPECT_TRUE(names.contains("Things"));
    EXPECT_TRUE(names.contains(QString::fromStdString(lookalike)));
    EXPECT_TRUE(names.contains("MSysComplexType_Mine"));
    EXPECT_TRUE(names.contains("MSysComplexColumns"));
    for (const QString& name : names) {
        EXPECT_FALSE(name.startsWith("f_") && name != QString::fromStdString(lookalike)) << name.toStdString();
        EXPECT_FALSE(name.startsWith("MSysComplexType_") && name != "MSysComplexType_Mine") << name.toStdString();
    }
}

// The file Access made: the same columns, values and list as writer-made files.
TEST_F(AceContentTest, FileAccessMadeShowsItsComplexColumns)
{
    const QString path = QDir(qEnvironmentVariable("VARNEX_REALDATA")).filePath("complexDataTestV2010.accdb");
    if (!QFile::exists(path))
        GTEST_SKIP() << "no real Access files here";
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Connection connection;
    connection.setConnectionString(kAce);
    ASSERT_TRUE(connection.open(path, "Admin", "").ok());
    const QStringList names = SchemaNames(connection);
    EXPECT_TRUE(names.contains("Table1"));
    EXPECT_FALSE(std::any_of(names.begin(), names.end(), [](const QString& n) {
        return n.startsWith("f_") || n.startsWith("MSysComplexType");
    })) << names.join(", ").toStdString();
    const auto rs = load(connection, "Table1");
    ASSERT_TRUE(rs);
    QStringList columns;
    for (int column = 0; column < rs->columnCount(); ++column)
        columns << rs->columnName(column);
    EXPECT_EQ(columns.join(", ").toStdString(), "id, memo-data, append-memo-data, multi-value-data, attach-data");
    EXPECT_EQ(texts(*rs), (Rows{"row1 |  |  |  | ",
                                "row2 | row2-memo | row2-memo | value1; value4 | test_data.txt; test_data2.txt",
                                "row3 | row3-memo | row3-memo-again | value1; value2; value3; value4 | ",
                                "row4 | row4-memo | row4-memo |  | test_data2.txt"}));
}

}  // namespace
}  // namespace varnex
