#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"  // gcc 12 false alarm on std::variant in lists

#include "WriterDatabase.h"

#include "store/FieldTypes.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

using jetwriter::ColumnType;
using jetwriter::Format;

jetwriter::Table Small(const std::string& name)
{
    return {name, {{"N", ColumnType::Long}, {"T", ColumnType::Text}}, {{int64_t{1}, std::string("one")}, {int64_t{2}, std::string("two")}}, {}};
}

class RecordsetTest : public ::testing::TestWithParam<Format> {};

// The table list: one row per table, Access's and Jet's own before the user's, each group by name.
TEST_P(RecordsetTest, TableListHasEveryTableByTypeThenName)
{
    test::OpenDatabase db(GetParam(), {Small("beta"), Small("Alpha"), Small("My Table"), Small("msysLike")});
    auto schema = db.connection().openTableSchema();
    ASSERT_TRUE(schema.ok()) << schema.error().description.toStdString();
    QStringList rows;
    QString previousType;
    for (auto& rs = *schema; !rs->eof(); (void)rs->moveNext()) {
        const QString type = rs->Fields().item("TABLE_TYPE")->value().toText();
        EXPECT_GE(type, previousType);
        previousType = type;
        if (type == "TABLE")
            rows << rs->Fields().item("TABLE_NAME")->value().toText();
        else
            EXPECT_TRUE(rs->Fields().item("TABLE_NAME")->value().toText().startsWith("MSys", Qt::CaseInsensitive));
    }
    EXPECT_EQ(rows, QStringList({"Alpha", "beta", "My Table"}));
    EXPECT_EQ(previousType, "TABLE");
}

// A disconnected recordset outlives its connection; closing it makes every operation fail with 3704.
TEST_P(RecordsetTest, DisconnectedRowsOutliveTheConnectionUntilClosed)
{
    test::OpenDatabase db(GetParam(), {Small("My Table")});
    auto rs = db.load("My Table");  // a bare name with a blank
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->activeConnection(), nullptr);
    ASSERT_TRUE(db.connection().close().ok());

    EXPECT_EQ(*rs->recordCount(), 2);
    EXPECT_TRUE(rs->bof() == false && rs->eof() == false);
    EXPECT_EQ(rs->Fields().item("t")->value().toText(), "one");
    ASSERT_TRUE(rs->moveNext().ok());
    EXPECT_EQ(rs->Fields().item(1)->value().toText(), "two");
    ASSERT_TRUE(rs->moveNext().ok());
    EXPECT_TRUE(rs->eof());
    EXPECT_EQ(rs->moveNext().error().number(), 3021);
    EXPECT_TRUE(rs->Fields().item("T")->value().isNull());

    EXPECT_EQ(rs->Fields().item(2).error().number(), 3265);
    EXPECT_EQ(rs->Fields().item(-1).error().number(), 3265);
    EXPECT_EQ(rs->Fields().item("Nope").error().number(), 3265);

    ASSERT_TRUE(rs->close().ok());
    EXPECT_FALSE(rs->isOpen());
    EXPECT_EQ(rs->recordCount().error().number(), 3704);
    EXPECT_EQ(rs->moveFirst().error().number(), 3704);
    EXPECT_EQ(rs->setSort("[N]").error().number(), 3704);
    EXPECT_EQ(rs->close().error().number(), 3704);
}

TEST_P(RecordsetTest, OpenFailuresNameTheirCause)
{
    test::OpenDatabase db(GetParam(), {Small("Data")});
    Status status;
    EXPECT_FALSE(db.load("Missing", &status));
    EXPECT_EQ(status.error().description,
              "The Microsoft Jet database engine cannot find the input table or query 'Missing'.  "
              "Make sure it exists and that its name is spelled correctly.");
    EXPECT_TRUE(db.load("[data]"));

    ASSERT_TRUE(db.connection().close().ok());
    EXPECT_FALSE(db.load("Data", &status));
    EXPECT_EQ(status.error().number(), 3709);
    EXPECT_EQ(db.connection().openTableSchema().error().number(), 3709);
}

// A database password as Access stores it: only the right one opens the file.
TEST_P(RecordsetTest, PasswordProtectedDatabaseOpensWithItsPassword)
{
    test::TempDir dir;
    jetwriter::Database database;
    database.format = GetParam();
    database.password = "S3cret!";
    database.tables = {Small("Data")};
    const QString path = test::WriteDatabase(dir, database);
    const std::vector<std::pair<QString, QString>> cases = {
        {"S3cret!", ""}, {"s3cret!", "Not a valid password."}, {"", "Not a valid password."}};
    for (const auto& [password, expected] : cases) {
        SCOPED_TRACE(password.toStdString());
        Connection connection;
        connection.setConnectionString(test::ProviderFor(GetParam()));
        const Status status = connection.open(path, "Admin", password);
        EXPECT_EQ(status.ok() ? QString() : status.error().description, expected);
    }
    Connection connection;
    connection.setConnectionString(test::ProviderFor(GetParam()) + ";Jet OLEDB:Database Password=S3cret!");
    ASSERT_TRUE(connection.open(path, "admin", "").ok());
    Recordset rs;
    ASSERT_TRUE(rs.open("Data", &connection).ok());
    EXPECT_EQ(*rs.recordCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, RecordsetTest, ::testing::Values(Format::Jet3, Format::Jet4),
                         [](const auto& info) { return info.param == Format::Jet3 ? "Jet3" : "Jet4"; });

}  // namespace
}  // namespace varnex
