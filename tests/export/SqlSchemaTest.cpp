// The schema as SQL where its names and keys need care: names SQL would take for one another, a primary
// key that cannot be the rowid, foreign keys to keys in another column order or to no key, every field
// type in both dialects, and the tables asked for by name.

#include "store/FieldTypes.h"
#include "export/SqlSchema.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

SchemaColumn column(const char* name, FieldType type, bool required = false)
{
    return {{QString::fromUtf8(name), type, 0, 0, FieldType::Unsupported, 0}, 0, required, false, ValuesKind::None};
}

DatabaseSchema schema()
{
    SchemaColumn tags = column("Tags", FieldType::LongVarWChar);
    tags.info.listOf = FieldType::Numeric;
    tags.info.precision = 10;
    tags.info.scale = 2;
    tags.values = ValuesKind::MultipleValues;
    SchemaColumn text = column("Text", FieldType::VarWChar);
    text.size = 12;
    SchemaTable every{"Every", {column("Yes", FieldType::Boolean), column("Byte", FieldType::UnsignedTinyInt), column("Short", FieldType::SmallInt),
                                column("Long", FieldType::Integer), column("Big", FieldType::BigInt), column("Single", FieldType::Single),
                                column("Double", FieldType::Double), column("Money", FieldType::Currency), column("Decimal", FieldType::Numeric),
                                column("Date", FieldType::Date), column("Stamp", FieldType::DBTimeStamp), column("Guid", FieldType::GUID), text,
                                column("Memo", FieldType::LongVarWChar), column("Bin", FieldType::VarBinary), column("Ole", FieldType::LongVarBinary),
                                column("Odd", FieldType::Unsupported), tags},
                      {{"Down", {{"Long", true}}, true, true}}};
    // "every.tags" and "Every.Down" are taken by tables of the user's (other tools than Access allow the dot).
    SchemaTable pairs{"Pairs", {column("A", FieldType::Integer, true), column("B", FieldType::VarWChar)},
                      {{"PrimaryKey", {{"A"}, {"B"}}, true, true}}};
    SchemaTable refs{"Refs", {column("X", FieldType::Integer), column("Y", FieldType::VarWChar)}, {}};
    return {{every, {"every.tags", {column("Z", FieldType::Integer)}, {}}, {"Every.Down", {column("Z", FieldType::Integer)}, {}}, pairs, refs},
            {{"ToPair", "Refs", {"Y", "X"}, "Pairs", {"B", "A"}, SchemaRelationship::kCascadeToNull},
             {"ToEvery", "Refs", {"X"}, "Every", {"Short"}, 0}}};
}

TEST(SqlSchema, NamesKeysAndTypesInBothDialects)
{
    const std::vector<SqlTable> tables = planSqlTables(schema());
    ASSERT_EQ(tables.size(), 5u);
    EXPECT_EQ(tables[0].rowidColumn, -1);  // a descending key is no rowid
    EXPECT_EQ(tables[0].children.front().name, "Every.Tags (2)");
    EXPECT_EQ(tables[0].indexes.size(), 0u);
    const QString every = R"sql(CREATE TABLE "Every" (
    "Yes" %1 NOT NULL,
    "Byte" %2,
    "Short" %3,
    "Long" %4 NOT NULL,
    "Big" %5,
    "Single" REAL,
    "Double" %6,
    "Money" %7,
    "Decimal" %8,
    "Date" %9,
    "Stamp" %10,
    "Guid" %11,
    "Text" %12,
    "Memo" TEXT,
    "Bin" %13,
    "Ole" %13,
    "Odd" %13,
    "Tags" TEXT,
    PRIMARY KEY ("Long" DESC)
);

CREATE TABLE "Every.Tags (2)" (
    "row" INTEGER NOT NULL,
    "Value" %14
);

CREATE TABLE "every.tags" (
    "Z" INTEGER
);

CREATE TABLE "Every.Down" (
    "Z" INTEGER
);

CREATE TABLE "Pairs" (
    "A" INTEGER NOT NULL,
    "B" TEXT NOT NULL,
    PRIMARY KEY ("A", "B")
);

CREATE TABLE "Refs" (
    "X" INTEGER,
    "Y" TEXT%15
    -- relationship "ToEvery": "Refs" ("X") refer to "Every" ("Short"); not declared: the columns referred to are no unique key
);

)sql";
    const QString toPair = R"(CONSTRAINT "ToPair" FOREIGN KEY ("Y", "X") REFERENCES "Pairs" ("B", "A") ON DELETE SET NULL)";
    EXPECT_EQ(sqlSchemaText(tables, SqlDialect::Sqlite).toStdString(),
              every.arg("INTEGER", "INTEGER", "INTEGER", "INTEGER", "INTEGER", "REAL", "TEXT", "TEXT", "TEXT", "TEXT", "TEXT", "TEXT", "BLOB",
                        "TEXT", ",\n    " + toPair)
                  .toStdString());
    EXPECT_EQ(sqlSchemaText(tables, SqlDialect::PostgreSql).toStdString(),
              (every.arg("BOOLEAN", "SMALLINT", "SMALLINT", "INTEGER", "BIGINT", "DOUBLE PRECISION", "NUMERIC(19,4)", "NUMERIC",
                         "TIMESTAMP(0)", "TIMESTAMP(6)", "UUID", "VARCHAR(12)", "BYTEA", "NUMERIC(10,2)", "") +
               R"(ALTER TABLE "Refs" ADD )" + toPair + ";\n\n")
                  .toStdString());
}

TEST(SqlSchema, TablesAskedForByNameWithTheRelationshipsAmongThem)
{
    QStringList missing;
    const DatabaseSchema some = selectTables(schema(), {"refs", "Pairs", "Nope", "Refs"}, missing);
    EXPECT_EQ(missing, QStringList{"Nope"});
    ASSERT_EQ(some.tables.size(), 2u);
    EXPECT_EQ(some.tables[0].name, "Refs");
    EXPECT_EQ(some.tables[1].name, "Pairs");
    ASSERT_EQ(some.relationships.size(), 1u);
    EXPECT_EQ(some.relationships[0].name, "ToPair");
    EXPECT_EQ(selectTables(schema(), {}, missing), schema());
}

}  // namespace
}  // namespace varnex
