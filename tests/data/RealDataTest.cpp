#include "data/Connection.h"
#include "store/FieldTypes.h"
#include "data/Recordset.h"

#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

namespace varnex {
namespace {

QString RealData(const QString& name)
{
    const QString dir = qEnvironmentVariable("VARNEX_REALDATA");
    return dir.isEmpty() ? QString() : dir + "/" + name;
}

struct RealFile {
    const char* file;
    const char* provider;
};

// Access's own files: the table list and Table1 (text, byte, integer, long, double, date, currency, yes/no).
TEST(RealDataTest, ReadsTableListAndValuesOfFilesMadeByAccess)
{
    if (!QFile::exists(RealData("testV1997.mdb")))
        GTEST_SKIP() << "no real Access files here";
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const std::vector<RealFile> files = {{"testV1997.mdb", "Provider=Microsoft.Jet.OLEDB.3.51"},
                                         {"testV2000.mdb", "Provider=Microsoft.Jet.OLEDB.4.0"},
                                         {"testV2003.mdb", "Provider=Microsoft.Jet.OLEDB.4.0"},
                                         {"testV2007.accdb", "Provider=Microsoft.ACE.OLEDB.12.0"}};
    for (const auto& f : files) {
        SCOPED_TRACE(f.file);
        Connection connection;
        connection.setConnectionString(f.provider);
        ASSERT_TRUE(connection.open(RealData(f.file), "Admin", "").ok());

        auto schema = connection.openTableSchema();
        ASSERT_TRUE(schema.ok()) << schema.error().description.toStdString();
        QStringList tables;
        const Recordset& list = **schema;
        for (int64_t position = 0; position < *list.recordCount(); ++position) {
            if (list.value(position, list.columnIndex("TABLE_TYPE")).toText() == "TABLE")
                tables << list.value(position, list.columnIndex("TABLE_NAME")).toText();
        }
        EXPECT_EQ(tables, QStringList({"Table1", "Table2", "Table3", "Table4"}));

        Recordset rs;
        const Status opened = rs.open("Table1", &connection);
        ASSERT_TRUE(opened.ok()) << opened.error().description.toStdString();
        ASSERT_EQ(*rs.recordCount(), 2);
        ASSERT_TRUE(rs.setSort("[A] DESC").ok());
        QStringList texts;
        for (int c = 0; c < rs.columnCount(); ++c)
            texts << rs.cellText(0, c);
        EXPECT_EQ(texts.join("|").toStdString(), "abcdefg|hijklmnop|2|222|333333333|444.555|9/21/1974|3.5|True");
    }
}

}  // namespace
}  // namespace varnex

namespace varnex {
namespace {

// Rows that Access moved to another page on update come back in their place, once each;
// a deleted column leaves no gap.
TEST(RealDataTest, MovedRowsAndDeletedColumnsReadAsAccessShowsThem)
{
    if (!QFile::exists(RealData("overflowTestV2000.mdb")))
        GTEST_SKIP() << "no real Access files here";
    const std::vector<std::pair<const char*, QStringList>> files = {
        {"overflowTestV2000.mdb",
         {"row1col1|", "row2col1|row2col3", "|row3col3", "row4col1|row4col2", "|row5col2", "|row6col2", "row7col1|"}},
        {"delColTestV2000.mdb", {"0|2", "3|5"}},
    };
    for (const auto& [file, expected] : files) {
        SCOPED_TRACE(file);
        Connection connection;
        connection.setConnectionString("Provider=Microsoft.Jet.OLEDB.4.0");
        ASSERT_TRUE(connection.open(RealData(file), "Admin", "").ok());
        Recordset rs;
        ASSERT_TRUE(rs.open("Table1", &connection).ok());
        QStringList rows;
        for (int64_t r = 0; r < *rs.recordCount(); ++r)
            rows << rs.cellText(r, 0) + "|" + rs.cellText(r, 1);
        EXPECT_EQ(rows.join("\n").toStdString(), expected.join("\n").toStdString());
    }
}

}  // namespace
}  // namespace varnex
