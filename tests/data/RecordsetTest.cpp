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
    const Recordset& rs = **schema;
    const int typeColumn = rs.columnIndex("TABLE_TYPE");
    const int nameColumn = rs.columnIndex("TABLE_NAME");
    ASSERT_GE(typeColumn, 0);
    ASSERT_GE(nameColumn, 0);
    QStringList rows;
    QString previousType;
    for (int64_t position = 0; position < *rs.recordCount(); ++position) {
        const QString type = rs.value(position, typeColumn).toText();
        EXPECT_GE(type, previousType);
        previousType = type;
        if (type == "TABLE")
            rows << rs.value(position, nameColumn).toText();
        else
            EXPECT_TRUE(rs.value(position, nameColumn).toText().startsWith("MSys", Qt::CaseInsensitive));
    }
    EXPECT_EQ(rows, QStringList({"Alpha", "beta", "My Table"}));
    EXPECT_EQ(previousType, "TABLE");
}

// A loaded recordset outlives its connection; closing it makes every operation fail as closed.
TEST_P(RecordsetTest, LoadedRowsOutliveTheConnectionUntilClosed)
{
    test::OpenDatabase db(GetParam(), {Small("My Table")});
    auto rs = db.load("My Table");  // a bare name with a blank
    ASSERT_TRUE(rs);
    ASSERT_TRUE(db.connection().close().ok());

    EXPECT_EQ(*rs->recordCount(), 2);
    EXPECT_EQ(rs->value(0, rs->columnIndex("t")).toText(), "one");
    EXPECT_EQ(rs->value(1, 1).toText(), "two");
    EXPECT_TRUE(rs->value(2, rs->columnIndex("T")).isNull());  // past the last row

    EXPECT_TRUE(rs->value(0, 2).isNull());
    EXPECT_TRUE(rs->value(0, -1).isNull());
    EXPECT_EQ(rs->columnIndex("Nope"), -1);

    ASSERT_TRUE(rs->close().ok());
    EXPECT_FALSE(rs->isOpen());
    EXPECT_EQ(rs->recordCount().error().code, ErrorCode::ObjectClosed);
    EXPECT_EQ(rs->setSort("[N]").error().code, ErrorCode::ObjectClosed);
    EXPECT_EQ(rs->close().error().code, ErrorCode::ObjectClosed);
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
    EXPECT_EQ(status.error().code, ErrorCode::ConnectionUnusable);
    EXPECT_EQ(db.connection().openTableSchema().error().code, ErrorCode::ConnectionUnusable);
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
