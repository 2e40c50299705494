// The schema the reader process reads of writer-made files of every format: each table's columns as its
// read delivers them, their sizes, Required, AutoNumber and complex values, its indexes (of several keys,
// descending too) and the relationships between the tables; and the values of complex columns as rows
// of their own, attachments with their files' bytes whether stored as they are or deflated.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"  // gcc 12 false alarm on std::variant in lists

#include "WriterDatabase.h"

#include "data/DatabaseReads.h"
#include "store/FieldTypes.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

using jetwriter::ColumnType;
using jetwriter::Format;

jetwriter::Column column(const char* name, ColumnType type, int size = 0)
{
    jetwriter::Column made{name, type, size};
    return made;
}

jetwriter::Database Fixture(Format format)
{
    const bool ace = format == Format::Ace2010;
    jetwriter::Column id = column("ID", ColumnType::Long);
    id.autoNumber = true;
    id.required = true;
    jetwriter::Column name = column("Name", ColumnType::Text, 40);
    name.required = true;
    jetwriter::Table customers{"Customers", {id, name, column("City", ColumnType::Text, 30), column("Photo", ColumnType::Ole)},
                               {{int64_t{1}, std::string("Ann"), std::string("Oslo"), jetwriter::Null{}}}, {}};
    customers.indexes = {{"PrimaryKey", {{"ID"}}, true, false}, {"ByName", {{"Name", true}, {"City"}}, false, true}};
    jetwriter::Table lines{"Order \"Lines\"",
                           {column("OrderID", ColumnType::Long), column("CustomerID", ColumnType::Long),
                            column("Amount", ColumnType::Currency), column("Key", ColumnType::Binary, 8)},
                           {},
                           {}};
    lines.indexes = {{"PrimaryKey", {{"OrderID"}}, true, false}, {"CustomerID", {{"CustomerID"}}, false, false}};
    jetwriter::Database database;
    database.format = format;
    database.tables = {customers, lines};
    database.relationships = {{"CustomersLines", "Order \"Lines\"", {"CustomerID"}, "Customers", {"ID"}, true, false, true},
                              {"Loose", "Customers", {"ID", "Name"}, "Order \"Lines\"", {"OrderID", "CustomerID"}, false}};
    if (ace) {
        jetwriter::Table files{"Files",
                               {column("ID", ColumnType::Long), column("Docs", ColumnType::Attachment),
                                column("Tags", ColumnType::MultiValue), column("History", ColumnType::VersionedMemo)},
                               {},
                               {}};
        files.columns[2].valueType = ColumnType::Text;
        const std::vector<uint8_t> text(300, 'a');  // deflated: it shrinks
        files.rows = {{int64_t{5}, jetwriter::Attachments{{{"a.txt", text}, {"b.bin", {0xFF, 0x00}}}},
                       jetwriter::MultiValues{{std::string("red"), std::string("blue")}}, jetwriter::Null{}},
                      {int64_t{6}, jetwriter::Null{}, jetwriter::Null{}, jetwriter::Null{}},
                      {int64_t{7}, jetwriter::Attachments{{{"c", {}}}}, jetwriter::MultiValues{{std::string("green")}},
                       jetwriter::Null{}}};
        files.indexes = {{"PrimaryKey", {{"ID"}}, true, false}};
        database.tables.push_back(files);
    }
    return database;
}

SchemaIndex Index(const char* name, std::vector<IndexKey> keys, bool primary, bool unique)
{
    return {QString::fromUtf8(name), std::move(keys), primary, unique};
}

TEST(SchemaRead, OfEveryFormatMatchesWhatWasWrittenAndWhatTheTablesDeliver)
{
    for (const Format format : {Format::Jet3, Format::Jet4, Format::Ace2010}) {
        SCOPED_TRACE(static_cast<int>(format));
        test::TempDir dir;
        const DatabaseFile file{test::WriteDatabase(dir, Fixture(format), "schema.accdb"), QString()};
        std::vector<ReadWarning> warnings;
        const Result<DatabaseSchema> schema = readDatabaseSchema(file, warnings);
        ASSERT_TRUE(schema.ok()) << schema.error().description.toStdString();
        EXPECT_TRUE(warnings.empty()) << warnings.front().text().toStdString();
        const bool ace = format == Format::Ace2010;
        ASSERT_EQ(schema->tables.size(), ace ? 3u : 2u);
        // Each table's columns are those its read delivers, whatever else the schema says of them.
        for (const SchemaTable& table : schema->tables) {
            std::vector<ReadWarning> unused;
            const auto rows = readTableRows(file, table.name, unused);
            ASSERT_TRUE(rows.ok() && *rows);
            ASSERT_EQ(static_cast<int>(table.columns.size()), (*rows)->columnCount()) << table.name.toStdString();
            for (int c = 0; c < (*rows)->columnCount(); ++c)
                EXPECT_EQ(table.columns[static_cast<size_t>(c)].info, (*rows)->info(c)) << c;
        }
        const auto facts = [](const SchemaTable& table) {
            QStringList described;
            for (const SchemaColumn& c : table.columns)
                described << QStringLiteral("%1 %2%3%4%5").arg(c.info.name).arg(c.size).arg(c.required ? " required" : "")
                                 .arg(c.autoNumber ? " auto" : "")
                                 .arg(c.values == ValuesKind::Attachments      ? " attachments"
                                      : c.values == ValuesKind::MultipleValues ? " values"
                                                                               : "");
            return described.join(QStringLiteral(", ")).toStdString();
        };
        EXPECT_EQ(facts(schema->tables[0]), "ID 0 required auto, Name 40 required, City 30, Photo 0");
        EXPECT_EQ(facts(schema->tables[ace ? 2 : 1]), "OrderID 0, CustomerID 0, Amount 0, Key 8");
        EXPECT_EQ(schema->tables[0].indexes,
                  (std::vector<SchemaIndex>{Index("PrimaryKey", {{"ID"}}, true, true), Index("ByName", {{"Name", true}, {"City"}}, false, true)}));
        EXPECT_EQ(schema->tables[ace ? 2 : 1].indexes, (std::vector<SchemaIndex>{Index("PrimaryKey", {{"OrderID"}}, true, true),
                                                                                  Index("CustomerID", {{"CustomerID"}}, false, false)}));
        const std::vector<SchemaRelationship> relationships = {
            {"CustomersLines", "Order \"Lines\"", {"CustomerID"}, "Customers", {"ID"}, SchemaRelationship::kCascadeDeletes},
            {"Loose", "Customers", {"ID", "Name"}, "Order \"Lines\"", {"OrderID", "CustomerID"}, SchemaRelationship::kNotEnforced}};
        EXPECT_EQ(schema->relationships, relationships);
        if (!ace)
            continue;
        // The version history shows by its memo column alone; the other complex columns have values of their own.
        EXPECT_EQ(facts(schema->tables[1]), "ID 0, Docs 0 attachments, Tags 0 values, History 0");
        const auto tags = readComplexValues(file, "Files", "Tags", warnings);
        ASSERT_TRUE(tags.ok()) << tags.error().description.toStdString();
        ASSERT_EQ((*tags)->rowCount(), 3);
        const auto textAt = [](const TableData& rows, int64_t row, int c) {
            const std::string_view bytes = rows.bytesValue(row, c);
            return std::string(bytes);
        };
        const auto rowAt = [](const TableData& rows, int64_t row) { return rows.integerValue(row, 0); };
        EXPECT_EQ((std::vector<std::string>{textAt(**tags, 0, 1), textAt(**tags, 1, 1), textAt(**tags, 2, 1)}),
                  (std::vector<std::string>{"red", "blue", "green"}));
        EXPECT_EQ((std::vector<int32_t>{rowAt(**tags, 0), rowAt(**tags, 1), rowAt(**tags, 2)}), (std::vector<int32_t>{0, 0, 2}));
        const auto docs = readComplexValues(file, "Files", "Docs", warnings);
        ASSERT_TRUE(docs.ok()) << docs.error().description.toStdString();
        ASSERT_EQ((*docs)->columnCount(), 5);
        ASSERT_EQ((*docs)->rowCount(), 3);
        EXPECT_EQ(textAt(**docs, 0, 1), "a.txt");
        EXPECT_EQ(textAt(**docs, 0, 2), "txt");
        EXPECT_EQ(textAt(**docs, 0, 3), std::string(300, 'a'));
        EXPECT_EQ(textAt(**docs, 1, 3), std::string("\xFF\0", 2));
        EXPECT_EQ(textAt(**docs, 2, 1), "c");
        EXPECT_EQ(textAt(**docs, 2, 3), "");
        EXPECT_EQ(rowAt(**docs, 2), 2);
        EXPECT_TRUE(warnings.empty());
        EXPECT_FALSE(readComplexValues(file, "Files", "History", warnings).ok());
    }
}

}  // namespace
}  // namespace varnex
