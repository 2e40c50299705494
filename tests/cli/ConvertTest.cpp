// varnex convert: every column kind of the writer's fixtures and of the shared real files into SQLite,
// read back through libsqlite3 and equal, value by value, to the CSV export of the same table (numbers
// by their exact value, dates by the instant they name, the values of complex columns by their own
// tables); each database whole by PRAGMA integrity_check and foreign_key_check.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"  // gcc 12 false alarm on std::variant in lists

#include "DamagedFiles.h"
#include "SqliteReadBack.h"
#include "TestDatabases.h"
#include "VarnexProcess.h"
#include "data/DatabaseReads.h"
#include "data/DateTimeFormat.h"
#include "store/ExtendedDate.h"
#include "data/ExtendedDateText.h"
#include "store/FieldTypes.h"
#include "export/SqlSchema.h"
#include "support/CsvReadBack.h"
#include "support/TempDir.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace varnex::test {
namespace {

using jetwriter::ColumnType;

constexpr int kInteger = 1, kFloat = 2, kText = 3, kBlob = 4, kNull = 5;  // SQLite's value types

QString realText(double value, int digits)
{
    return value == 0 ? QStringLiteral("0") : QString::number(value, 'g', digits).toUpper();
}

// The CSV's Date/Time text (under the C locale) of an ISO 8601 "YYYY-MM-DD HH:MM:SS".
QString dateText(const QByteArray& iso)
{
    const QDateTime when = QDateTime::fromString(QString::fromLatin1(iso), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!when.isValid())
        return QStringLiteral("(not ISO: %1)").arg(QString::fromLatin1(iso));
    const QLocale c = QLocale::c();
    const QString time = c.toString(when.time(), longTimeFormat(c));
    if (when.date() == QDate(1899, 12, 30))
        return time;
    const QString date = c.toString(when.date(), shortDateFormat(c));
    return when.time() == QTime(0, 0) ? date : date + u' ' + time;
}

// The CSV's Date/Time Extended text of "YYYY-MM-DD HH:MM:SS[.fffffff]", by the ticks it names.
QString extendedDateTextOf(const QByteArray& iso)
{
    const QList<QByteArray> parts = iso.split('.');
    const QDateTime when = QDateTime::fromString(QString::fromLatin1(parts.front()), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!when.isValid() || parts.size() > 2 || (parts.size() == 2 && parts.back().size() != 7))
        return QStringLiteral("(not ISO: %1)").arg(QString::fromLatin1(iso));
    const int64_t ticks = QDate(1, 1, 1).daysTo(when.date()) * kTicksPerDay + when.time().msecsSinceStartOfDay() * int64_t{10000} +
                          (parts.size() == 2 ? parts.back().toLongLong() : 0);
    return extendedDateText(ticks, QLocale::c());
}

// The text the CSV export writes for a value of a column of that type, found in the SQLite file as value.
QString csvText(const ColumnInfo& column, const SqlValue& value)
{
    const auto expect = [&](int type, const QString& text) {
        return value.type == type ? text : QStringLiteral("(SQLite type %1 for field type %2)").arg(value.type).arg(static_cast<int>(column.type));
    };
    if (value.type == kNull)
        return {};
    if (column.isList())
        return expect(kText, QString::fromUtf8(value.bytes));
    switch (column.type) {
    case FieldType::Boolean: return expect(kInteger, value.integer == 1 ? QStringLiteral("True") : value.integer == 0 ? QStringLiteral("False") : QStringLiteral("(%1)").arg(value.integer));
    case FieldType::UnsignedTinyInt: case FieldType::SmallInt: case FieldType::Integer: case FieldType::BigInt:
        return expect(kInteger, QString::number(value.integer));
    case FieldType::Single:
        // Exactly the Single read, which only its first 7 digits show.
        return expect(kFloat, static_cast<double>(static_cast<float>(value.real)) == value.real ? realText(value.real, 7) : QStringLiteral("(no Single)"));
    case FieldType::Double: return expect(kFloat, realText(value.real, 15));
    case FieldType::Date: return expect(kText, dateText(value.bytes));
    case FieldType::DBTimeStamp: return expect(kText, extendedDateTextOf(value.bytes));
    case FieldType::Binary: case FieldType::VarBinary: case FieldType::LongVarBinary:
        return expect(kBlob, QString::fromLatin1(value.bytes.toHex().toUpper()));
    case FieldType::Unsupported: return QStringLiteral("(a value of a column not read)");
    default: return expect(kText, QString::fromUtf8(value.bytes));  // Currency, Decimal, GUID, text
    }
}

QString rowText(const QStringList& fields)
{
    return fields.join(QStringLiteral(" | "));
}

// The child rows of a complex column, by the rowid of their row, as the grid joins them.
std::map<int64_t, QString> joinedValues(const SqliteReadBack& sqlite, const QString& child, const SchemaColumn& complex)
{
    const bool attachments = complex.values == ValuesKind::Attachments;
    const ColumnInfo value{QString(), attachments ? FieldType::VarWChar : complex.info.listOf, complex.info.precision, complex.info.scale, FieldType::Unsupported, 0};
    std::map<int64_t, QString> joined;
    for (const SqlRow& row : sqlite.rows(QStringLiteral("SELECT \"row\", %1 FROM %2 ORDER BY rowid")
                                             .arg(attachments ? QStringLiteral("FileName") : QStringLiteral("Value"), quotedName(child)))) {
        QString& text = joined[row[0].integer];
        text += (text.isEmpty() ? QString() : QStringLiteral("; ")) + csvText(value, row[1]);
    }
    return joined;
}

struct Converted {
    QString database;
    QString password;  // of an encrypted .accdb
};

// Compares every table of the converted database with its CSV export; returns the tables compared.
int expectSameAsCsv(const Converted& source, const QString& sqlitePath, const QString& work)
{
    std::vector<ReadWarning> warnings;
    const Result<DatabaseSchema> schema = readDatabaseSchema({source.database, source.password}, warnings);
    EXPECT_TRUE(schema.ok());
    if (!schema)
        return 0;
    const SqliteReadBack sqlite(sqlitePath);
    EXPECT_EQ(sqlite.texts("PRAGMA integrity_check"), QStringList{"ok"});
    EXPECT_TRUE(sqlite.rows("PRAGMA foreign_key_check").empty());
    for (const SqlTable& table : planSqlTables(*schema)) {
        const QString name = table.table.name;
        SCOPED_TRACE(name.toStdString());
        const VarnexRun exported = runShell(QStringLiteral("VARNEX_PASSWORD='%1' \"$VARNEX\" export '%2' '%3' -o table.csv")
                                                .arg(source.password, source.database, name), work);
        EXPECT_EQ(exported.status, 0) << exported.err.toStdString();
        CsvRecords csv = ReadCsvWithPython(work + QStringLiteral("/table.csv"));
        QStringList expected, written;
        for (size_t r = 1; r < csv.size(); ++r)
            expected << rowText(csv[r]);
        std::map<int, std::map<int64_t, QString>> children;
        for (const SqlChildTable& child : table.children)
            children[child.column] = joinedValues(sqlite, child.name, table.table.columns[static_cast<size_t>(child.column)]);
        for (const SqlRow& row : sqlite.rows(QStringLiteral("SELECT rowid, * FROM %1").arg(quotedName(name)))) {
            QStringList fields;
            for (size_t c = 0; c < table.table.columns.size(); ++c) {
                const SchemaColumn& column = table.table.columns[c];
                if (column.info.name.compare(QLatin1StringView("RECID"), Qt::CaseInsensitive) == 0)
                    continue;  // as the CSV leaves it out
                fields << csvText(column.info, row[c + 1]);
                if (const auto child = children.find(static_cast<int>(c)); child != children.end()) {
                    EXPECT_EQ(child->second[row[0].integer], fields.back()) << "the values of " << column.info.name.toStdString();
                }
            }
            written << rowText(fields);
        }
        // The same rows; SQLite's order is its rowid's, which an integer primary key gives.
        expected.sort();
        written.sort();
        EXPECT_EQ(written.join(u'\n').toStdString(), expected.join(u'\n').toStdString());
    }
    return static_cast<int>(schema->tables.size());
}

// Every column kind the writer writes, in one table each of Jet 3, Jet 4 and Access 2010.
jetwriter::Table KindsTable(jetwriter::Format format)
{
    using jetwriter::Null;
    const bool jet4 = format != jetwriter::Format::Jet3;
    std::vector<jetwriter::Column> columns = {
        {"Byte", ColumnType::Byte},      {"Integer", ColumnType::Integer}, {"Long", ColumnType::Long},
        {"Single", ColumnType::Single},  {"Double", ColumnType::Double},   {"Currency", ColumnType::Currency},
        {"When", ColumnType::DateTime},  {"Done", ColumnType::YesNo},      {"Text", ColumnType::Text, 60},
        {"Memo", ColumnType::Memo},      {"Ole", ColumnType::Ole},         {"Guid", ColumnType::Guid},
        {"Binary", ColumnType::Binary, 8}};
    std::vector<jetwriter::Row> rows = {
        {int64_t{0}, int64_t{-32768}, int64_t{-2147483648}, 0.1, 0.1, jetwriter::CurrencyValue{-922337203685477580},
         jetwriter::DateValue{-700.25}, true, std::string("Zoë \"quoted\", two\r\nlines"), std::string(5000, 'm'),
         jetwriter::Bytes{{0x00, 0xFF, 0x10}}, *jetwriter::parseGuid("{01234567-89AB-CDEF-0123-456789ABCDEF}"),
         jetwriter::Bytes{{1, 2, 3}}},
        {int64_t{255}, int64_t{32767}, int64_t{2147483647}, -3.4e38, 1e-300, jetwriter::CurrencyValue{1},
         jetwriter::DateValue{0.5}, false, std::string(""), std::string("日本"), jetwriter::Bytes{{}}, Null{}, jetwriter::Bytes{{}}},
        {Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, false, Null{}, Null{}, Null{}, Null{}, Null{}},
        {int64_t{7}, int64_t{0}, int64_t{0}, 1.5e20, 123456789.125, jetwriter::CurrencyValue{123450000},
         jetwriter::DateValue{2958465.99998843}, true, std::string("a,b"), std::string("x"), Null{}, Null{}, Null{}},
        {int64_t{1}, int64_t{1}, int64_t{1}, 1234.567, 0.1 + 0.2, jetwriter::CurrencyValue{0}, jetwriter::DateValue{45000.0}, true,
         std::string("midnight"), Null{}, Null{}, Null{}, Null{}},
    };
    if (jet4) {
        columns.push_back({"Decimal", ColumnType::Decimal, 0, 28, 6});
        const jetwriter::Cell decimals[] = {jetwriter::DecimalValue{true, 1, 6}, jetwriter::DecimalValue{false, 0, 0}, Null{},
                                            jetwriter::DecimalValue{false, (jetwriter::Uint128{1} << 90) + 7, 6},
                                            jetwriter::DecimalValue{false, 1234500000, 6}};
        for (size_t r = 0; r < rows.size(); ++r)
            rows[r].push_back(decimals[r]);
    }
    if (format == jetwriter::Format::Ace2010) {
        jetwriter::Column tags{"Tags", ColumnType::MultiValue};
        tags.valueType = ColumnType::Text;
        jetwriter::Column scores{"Scores", ColumnType::MultiValue};
        scores.valueType = ColumnType::Double;
        jetwriter::Column doubled{"Doubled", ColumnType::Long};
        doubled.expression = "[Long]*2";
        for (const jetwriter::Column& column : {jetwriter::Column{"Stamp", ColumnType::DateTimeExtended}, jetwriter::Column{"Files", ColumnType::Attachment},
                                               tags, scores, jetwriter::Column{"History", ColumnType::VersionedMemo}, doubled})
            columns.push_back(column);
        const std::vector<jetwriter::Row> more = {
            {jetwriter::ExtendedDateValue{0, 1}, jetwriter::Attachments{{{"a.txt", std::vector<uint8_t>(400, 'a')}, {"b", {0xFF}}}},
             jetwriter::MultiValues{{std::string("red"), std::string("x; y")}}, jetwriter::MultiValues{{2.5, -0.125}},
             jetwriter::VersionHistory{{{40000.0, "old"}, {40001.0, "new"}}}, int64_t{-4}},
            {jetwriter::ExtendedDateValue{3652058, 863999999999}, Null{}, Null{}, Null{}, Null{}, int64_t{0}},
            {Null{}, Null{}, Null{}, Null{}, Null{}, Null{}},
            {jetwriter::ExtendedDateValue{737954, 432000000000}, jetwriter::Attachments{{{"empty.bin", {}}}},
             jetwriter::MultiValues{{std::string("one")}}, jetwriter::MultiValues{{1e300}}, Null{}, int64_t{14}},
            {Null{}, Null{}, Null{}, Null{}, Null{}, int64_t{2}},
        };
        for (size_t r = 0; r < rows.size(); ++r)
            rows[r].insert(rows[r].end(), more[r].begin(), more[r].end());
    }
    return {"Kinds", columns, rows, {}};
}

QString kindsDatabase(const TempDir& work, jetwriter::Format format, const QString& name)
{
    jetwriter::Table keyed = ManyRows("Keyed", 5000);
    keyed.columns[0].autoNumber = true;
    keyed.indexes = {{"PrimaryKey", {{"ID"}}, true, false}};
    return WriteDatabase(work.file(name), {KindsTable(format), keyed, NameTable("Empty", {})}, format);
}

TEST(Convert, EveryColumnKindReadsBackAsTheCsvExportShowsIt)
{
    TempDir work;
    const QString real = qEnvironmentVariable("VARNEX_REALDATA");
    std::vector<Converted> sources = {{kindsDatabase(work, jetwriter::Format::Jet3, "kinds3.mdb"), {}},
                                      {kindsDatabase(work, jetwriter::Format::Jet4, "kinds4.mdb"), {}},
                                      {kindsDatabase(work, jetwriter::Format::Ace2010, "kinds.accdb"), {}}};
    const QStringList realFiles = {"testV1997.mdb", "test2V1997.mdb", "testV2000.mdb", "testV2003.mdb", "testV2007.accdb",
                                   "delColTestV2000.mdb", "overflowTestV2000.mdb", "emptyV2000.mdb", "complexDataTestV2010.accdb",
                                   "calcFieldTestV2010.accdb", "encryptedV2010.accdb"};
    for (const QString& file : realFiles) {
        if (!real.isEmpty() && QFile::exists(real + u'/' + file))
            sources.push_back({real + u'/' + file, file.startsWith(u"encrypted") ? QStringLiteral("password") : QString()});
    }
    int tables = 0;
    for (const Converted& source : sources) {
        SCOPED_TRACE(source.database.toStdString());
        QFile::remove(work.file("out.sqlite"));
        const VarnexRun run = runShell(QStringLiteral("VARNEX_PASSWORD='%1' \"$VARNEX\" convert '%2' out.sqlite").arg(source.password, source.database),
                                       work.path());
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(run.err.toStdString(), "");
        tables += expectSameAsCsv(source, work.file("out.sqlite"), work.path());
    }
    EXPECT_GE(tables, 9);
}

}  // namespace
}  // namespace varnex::test

namespace varnex::test {
namespace {

// Customers and their order lines, related three ways; files with attachments and tags (ACE).
jetwriter::Database RelatedTables()
{
    jetwriter::Column id{"ID", ColumnType::Long};
    id.autoNumber = true;
    jetwriter::Column name{"Name", ColumnType::Text, 40};
    name.required = true;
    jetwriter::Table customers{"Customers", {id, name, {"City", ColumnType::Text, 30}},
                               {{int64_t{1}, std::string("Ann"), std::string("Oslo")}, {int64_t{2}, std::string("Bob"), jetwriter::Null{}}}, {}};
    customers.indexes = {{"PrimaryKey", {{"ID"}}, true, false}, {"ByName", {{"Name", true}, {"City"}}, false, true}};
    jetwriter::Table lines{"Order \"Lines\"",
                           {{"OrderID", ColumnType::Long}, {"CustomerID", ColumnType::Long}, {"Amount", ColumnType::Currency},
                            {"Note", ColumnType::Text, 20}},
                           {{int64_t{10}, int64_t{1}, jetwriter::CurrencyValue{125000}, std::string("x")},
                            {int64_t{11}, int64_t{2}, jetwriter::CurrencyValue{-30000}, jetwriter::Null{}},
                            {int64_t{12}, int64_t{1}, jetwriter::Null{}, std::string("y")}},
                           {}};
    lines.indexes = {{"PrimaryKey", {{"OrderID"}}, true, false}, {"CustomerID", {{"CustomerID"}}, false, false}};
    jetwriter::Column tags{"Tags", ColumnType::MultiValue};
    tags.valueType = ColumnType::Long;
    jetwriter::Table files{"Files", {{"FileID", ColumnType::Long}, {"Docs", ColumnType::Attachment}, tags},
                           {{int64_t{5}, jetwriter::Attachments{{{"a.txt", std::vector<uint8_t>(300, 'a')}, {"b.bin", {0, 1}}}},
                             jetwriter::MultiValues{{int64_t{3}, int64_t{4}}}},
                            {int64_t{6}, jetwriter::Null{}, jetwriter::MultiValues{{int64_t{5}}}}},
                           {}};
    files.indexes = {{"PrimaryKey", {{"FileID"}}, true, false}};
    jetwriter::Database database;
    database.format = jetwriter::Format::Ace2010;
    database.tables = {customers, lines, files};
    database.relationships = {{"CustomersLines", "Order \"Lines\"", {"CustomerID"}, "Customers", {"ID"}, true, true, true},
                              {"Loose", "Order \"Lines\"", {"OrderID"}, "Files", {"FileID"}, false},
                              {"ByNote", "Customers", {"City"}, "Order \"Lines\"", {"Note"}, true}};
    return database;
}

TEST(Convert, KeepsTheTablesIndexesAndRelationshipsOfAFixture)
{
    TempDir work;
    jetwriter::writeDatabase(RelatedTables(), work.file("related.accdb").toStdString());
    const QString customers = R"(CREATE TABLE "Customers" (
    "ID" INTEGER%1 NOT NULL,
    "Name" %2 NOT NULL,
    "City" %3,
    PRIMARY KEY ("ID")
    -- relationship "ByNote": "Customers" ("City") refer to "Order ""Lines""" ("Note"); not declared: the columns referred to are no unique key
);

CREATE UNIQUE INDEX "Customers.ByName" ON "Customers" ("Name" DESC, "City");

CREATE TABLE "Files" (
    "FileID" INTEGER NOT NULL,
    "Docs" TEXT,
    "Tags" TEXT,
    PRIMARY KEY ("FileID")
);

CREATE TABLE "Files.Docs" (
    "row" INTEGER NOT NULL REFERENCES "Files" ("FileID") ON UPDATE CASCADE ON DELETE CASCADE,
    "FileName" TEXT,
    "FileType" TEXT,
    "FileData" %4,
    "FileTimeStamp" %5
);

CREATE TABLE "Files.Tags" (
    "row" INTEGER NOT NULL REFERENCES "Files" ("FileID") ON UPDATE CASCADE ON DELETE CASCADE,
    "Value" INTEGER
);

CREATE TABLE "Order ""Lines""" (
    "OrderID" INTEGER NOT NULL,
    "CustomerID" INTEGER,
    "Amount" %6,
    "Note" %7,
    PRIMARY KEY ("OrderID")%8
    -- relationship "Loose": "Order ""Lines""" ("OrderID") refer to "Files" ("FileID"); not declared: Access does not enforce it
);

CREATE INDEX "Order ""Lines"".CustomerID" ON "Order ""Lines""" ("CustomerID");

)";
    const QString foreignKey = R"(CONSTRAINT "CustomersLines" FOREIGN KEY ("CustomerID") REFERENCES "Customers" ("ID") ON UPDATE CASCADE ON DELETE CASCADE)";
    const QString sqlite = customers.arg("", "TEXT", "TEXT", "BLOB", "TEXT", "TEXT", "TEXT", ",\n    " + foreignKey);
    const QString postgresql = customers.arg(" GENERATED BY DEFAULT AS IDENTITY", "VARCHAR(40)", "VARCHAR(30)", "BYTEA", "TIMESTAMP(0)",
                                             "NUMERIC(19,4)", "VARCHAR(20)", "") +
                               R"(ALTER TABLE "Order ""Lines""" ADD )" + foreignKey + ";\n\n";
    const std::vector<ShellCase> cases = {
        {R"("$VARNEX" schema related.accdb)", 0, sqlite.toUtf8(), ""},
        {R"("$VARNEX" schema related.accdb --dialect=sqlite)", 0, sqlite.toUtf8(), ""},
        {R"("$VARNEX" schema related.accdb --dialect PostgreSQL)", 0, postgresql.toUtf8(), ""},
        {R"("$VARNEX" convert related.accdb related.sqlite)", 0, "Customers (2 rows)\nFiles (2 rows)\nOrder \"Lines\" (3 rows)\n", ""},
    };
    expectShellCases(cases, work.path());
    // The file holds those very statements, and the relationships work once SQLite enforces them.
    const SqliteReadBack db(work.file("related.sqlite"));
    EXPECT_EQ(db.texts("SELECT sql FROM sqlite_schema WHERE sql NOT NULL ORDER BY rowid").join(";\n\n") + ";\n\n", sqlite);
    EXPECT_EQ(db.texts("PRAGMA integrity_check"), QStringList{"ok"});
    EXPECT_TRUE(db.rows("PRAGMA foreign_key_check").empty());
    EXPECT_EQ(db.texts("SELECT group_concat(FileName || '=' || length(FileData), ',') FROM \"Files.Docs\" WHERE \"row\" = 5"),
              QStringList{"a.txt=300,b.bin=2"});
    EXPECT_EQ(db.texts("PRAGMA foreign_keys = ON; DELETE FROM \"Customers\" WHERE \"ID\" = 1; DELETE FROM \"Files\" WHERE \"FileID\" = 5;"
                       "SELECT (SELECT group_concat(\"OrderID\") FROM \"Order \"\"Lines\"\"\") || ' ' ||"
                       " (SELECT count(*) FROM \"Files.Docs\") || ' ' || (SELECT group_concat(\"Value\") FROM \"Files.Tags\")"),
              QStringList{"11 0 5"});
}

// A table whose values cannot all be written, one whose definition is damaged, and good ones.
void writeTroubledDatabases(const TempDir& work)
{
    jetwriter::Column shape{"Shape", ColumnType::Unknown, 4};
    shape.typeCode = 0x46;
    WriteDatabase(work.file("odd.accdb"),
                  {NameTable("Good", {"a"}), NameTable("a,b\\c", {"x", "y"}),
                   Table("Odd", {Column("Name", ColumnType::Text), shape, Column("When", ColumnType::DateTime),
                                 Column("Files", ColumnType::Attachment)},
                         {{T("far"), jetwriter::Bytes{{1, 2, 3, 4}}, jetwriter::DateValue{-800000.0},
                           jetwriter::Attachments{{{"long.txt", std::vector<uint8_t>(600, 'z')}}}},
                          {T("near"), N(), jetwriter::DateValue{1.5}, N()}})},
                  jetwriter::Format::Ace2010);
    // The attachment is stored deflated; its stream is damaged part of the way.
    QByteArray bytes = readFile(work.file("odd.accdb"));
    const qsizetype deflated = bytes.indexOf(QByteArray("\x78\xDA", 2));
    ASSERT_GT(deflated, 0);
    bytes.replace(deflated + 4, 4, QByteArray(4, '\xFF'));
    QFile file(work.file("odd.accdb"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    WriteDatabase(work.file("broken.mdb"), {NameTable("Alpha", {"a"}), Table("Beta", {Column("BetaOnly", ColumnType::Long)}, {{I(1)}}),
                                            NameTable("Gamma", {"g", "h"})});
}

TEST(Convert, FailuresWriteNothingButLeaveTheFailedTablesOut)
{
    TempDir work;
    writeTroubledDatabases(work);
    const uint32_t betaPage = loopDefinition(work.file("broken.mdb"), "BetaOnly");
    QDir(work.path()).mkpath("folder");
    const QByteArray shape = "varnex: %1odd.accdb: table 'Odd': column 'Shape': its type 0x46 is not supported; its values are left empty\n";
    const QByteArray far = "varnex: %1odd.accdb: table 'Odd': column 'When': 1 date is not of years 1 to 9999 and left empty\n"
                           "varnex: %1odd.accdb: table 'Odd': column 'Files': the data of 1 attachment is damaged and left empty\n";
    const QByteArray warnings = QByteArray(shape).replace("%1", "warning: ") + QByteArray(far).replace("%1", "warning: ");
    const QByteArray failures = QByteArray(shape).replace("%1", "") + QByteArray(far).replace("%1", "");
    const QByteArray tables = "a,b\\c (2 rows)\nGood (1 row)\nOdd (2 rows)\n";
    struct Case {
        const char* name;
        const char* command;  // then each table the output holds, and what the folder holds beside the databases
        int status;
        QByteArray out;
        QByteArray err;
        QStringList written = {};
    };
    const std::vector<Case> cases = {
        {"values left empty are named", R"("$VARNEX" convert odd.accdb out.sqlite)", 0, tables, warnings, {"Good", "Odd", "Odd.Files", "a,b\\c"}},
        {"an existing file is left as it is", R"(echo old > out.sqlite; "$VARNEX" convert odd.accdb out.sqlite; echo $?; cat out.sqlite)", 0,
         "1\nold\n", "varnex: odd.accdb: Could not create 'out.sqlite': it already exists (--replace replaces it)\n"},
        {"or replaced where asked", R"(echo old > out.sqlite; chmod 640 out.sqlite; "$VARNEX" convert --replace odd.accdb out.sqlite; stat -c %a out.sqlite)", 0,
         tables + "640\n", warnings, {"Good", "Odd", "Odd.Files", "a,b\\c"}},
        {"strict: the table of such values fails", R"("$VARNEX" convert odd.accdb out.sqlite --strict)", 1, "a,b\\c (2 rows)\nGood (1 row)\n",
         failures, {"Good", "a,b\\c"}},
        {"the tables asked for, a comma in a name", R"("$VARNEX" convert odd.accdb out.sqlite --tables 'a\,b\\c,Good')", 0,
         "a,b\\c (2 rows)\nGood (1 row)\n", "", {"Good", "a,b\\c"}},
        {"a table the database lacks", R"("$VARNEX" convert odd.accdb out.sqlite --tables Good,Nope)", 1, "",
         "varnex: odd.accdb: The database has no table 'Nope'.\n"},
        {"a damaged table is left out", R"("$VARNEX" convert broken.mdb out.sqlite)", 1, "Alpha (1 row)\nGamma (2 rows)\n",
         QStringLiteral("varnex: broken.mdb: table 'Beta': The definition of the table 'Beta' (page %1) in 'broken.mdb' is damaged.\n")
             .arg(betaPage).toUtf8(), {"Alpha", "Gamma"}},
        {"schema: a damaged table is left out", R"(set -o pipefail; "$VARNEX" schema broken.mdb | grep -c 'CREATE TABLE')", 1, "2\n",
         "varnex: broken.mdb: table 'Beta': its definition is damaged and could not be read\n"},
        {"a folder", R"("$VARNEX" convert broken.mdb folder)", 1, "", "varnex: broken.mdb: Could not create 'folder': Is a directory\n"},
        {"a device", R"("$VARNEX" convert broken.mdb /dev/null)", 1, "",
         "varnex: broken.mdb: Could not create '/dev/null': it is not a regular file, which a database needs\n"},
        {"the database itself", R"("$VARNEX" convert broken.mdb broken.mdb --replace)", 1, "",
         "varnex: broken.mdb: Could not create 'broken.mdb': it is the database itself\n"},
        {"no output named", R"("$VARNEX" convert broken.mdb)", 2, "", "varnex: convert needs FILE OUT (see varnex --help)\n"},
        {"schema: an unknown dialect", R"("$VARNEX" schema broken.mdb --dialect mysql)", 2, "",
         "varnex: --dialect takes sqlite or postgresql, not 'mysql' (see varnex --help)\n"},
        {"schema: no options of convert", R"("$VARNEX" schema broken.mdb --replace)", 2, "", "varnex: schema has no option '--replace' (see varnex --help)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(work.file("out.sqlite"));
        const VarnexRun run = runShell(c.command, work.path());
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out.toStdString(), c.out.toStdString());
        EXPECT_EQ(run.err.toStdString(), c.err.toStdString());
        // Nothing half-written anywhere: the output holds the tables written, or is not there.
        const QStringList files = QDir(work.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        const bool output = !c.written.isEmpty();
        const QStringList beside = c.status == 0 && !output ? QStringList{"out.sqlite"} : QStringList{};
        EXPECT_EQ(files, QStringList({"broken.mdb", "odd.accdb"}) + (output ? QStringList{"out.sqlite"} : beside));
        if (output) {
            const SqliteReadBack db(work.file("out.sqlite"));
            EXPECT_EQ(db.texts("SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name"), c.written);
            EXPECT_EQ(db.texts("PRAGMA integrity_check"), QStringList{"ok"});
        }
    }
}

}  // namespace
}  // namespace varnex::test
