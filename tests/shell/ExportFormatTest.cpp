// The bytes of exported files, and what an independent CSV reader makes of them.

#include "support/ExportFixture.h"
#include "support/CsvReadBack.h"
#include "support/TableBuilders.h"

#include "core/LocaleCodec.h"

#include <QLocale>

#include <string>

namespace varnex::test {
namespace {

using jetwriter::ColumnType;

std::string Bytes(const QByteArray& bytes)
{
    return bytes.toStdString();
}

struct FormatCase {
    jetwriter::Table table;
    bool header;
    std::string expected;
    CsvRecords readBack;  // the values as an independent reader sees them
};

class ExportFormat : public ExportFixture {
protected:
    void TearDown() override
    {
        QLocale::setDefault(QLocale::system());
        ExportFixture::TearDown();
    }

    void expectCases(const std::vector<FormatCase>& cases)
    {
        std::vector<jetwriter::Table> tables;
        for (const FormatCase& c : cases) {
            if (tables.empty() || tables.back().name != c.table.name)
                tables.push_back(c.table);
        }
        openDatabase(tables);
        for (const FormatCase& c : cases) {
            const QString name = QString::fromStdString(c.table.name);
            SCOPED_TRACE(c.table.name + (c.header ? " with header" : " without header"));
            form().showTable(name);
            setHeader(c.header);
            const QString chosen = name + (c.header ? QStringLiteral("_h") : QString());
            EXPECT_EQ(Bytes(exportAs(chosen)), c.expected);
            ExpectReadsBackAs(pathOf(chosen + QStringLiteral(".CSV")), c.readBack);
        }
        EXPECT_TRUE(boxes().empty());
        EXPECT_TRUE(logLines().isEmpty());
    }
};

TEST_F(ExportFormat, WritesHeaderRecordIdsNullsAndQuotesExactly)
{
    const auto people = Table("People", {Column("ID", ColumnType::Long), Column("Name", ColumnType::Text)},
                              {{I(1), T("Ann")}, {I(2), T("Bob")}, {I(3), T("Cy")}});
    auto recIdTable = [](std::string table, std::string recId) {
        return Table(std::move(table),
                     {Column(std::move(recId), ColumnType::Long), Column("Name", ColumnType::Text),
                      Column("RECID2", ColumnType::Long), Column("RECID_OLD", ColumnType::Long)},
                     {{I(7), T("x"), I(8), I(9)}});
    };
    const std::vector<FormatCase> cases = {
        // N lines without the header, N + 1 with it.
        {people, false, "1,\"Ann\"\r\n2,\"Bob\"\r\n3,\"Cy\"\r\n", {{"1", "Ann"}, {"2", "Bob"}, {"3", "Cy"}}},
        {people, true, "\"ID\",\"Name\"\r\n1,\"Ann\"\r\n2,\"Bob\"\r\n3,\"Cy\"\r\n",
         {{"ID", "Name"}, {"1", "Ann"}, {"2", "Bob"}, {"3", "Cy"}}},
        // Fields named RECID in any case are left out; RECID2 and RECID_OLD are not (each spelling
        // in tests/export/CsvWriterTest.cpp).
        {recIdTable("Mixed", "RecId"), true, "\"Name\",\"RECID2\",\"RECID_OLD\"\r\n\"x\",8,9\r\n",
         {{"Name", "RECID2", "RECID_OLD"}, {"x", "8", "9"}}},
        // Only RECID fields: an empty header line and one empty line per record.
        {Table("OnlyIds", {Column("RECID", ColumnType::Long)}, {{I(1)}, {I(2)}}), true, "\r\n\r\n\r\n",
         {{}, {}, {}}},
        // Null text is two quotes, a Null number nothing; the commas stay.
        {Table("Nulls",
               {Column("Qty", ColumnType::Long), Column("Name", ColumnType::Text), Column("Note", ColumnType::Memo),
                Column("When", ColumnType::DateTime)},
               {{N(), T("a"), N(), N()}, {I(4), N(), T("m"), N()}, {N(), N(), N(), N()}}),
         true, "\"Qty\",\"Name\",\"Note\",\"When\"\r\n,\"a\",\"\",\r\n4,\"\",\"m\",\r\n,\"\",\"\",\r\n",
         {{"Qty", "Name", "Note", "When"}, {"", "a", "", ""}, {"4", "", "m", ""}, {"", "", "", ""}}},
        {Table("FirstNull", {Column("Name", ColumnType::Text), Column("Qty", ColumnType::Long)},
               {{N(), I(1)}, {T("b"), N()}}),
         false, "\"\",1\r\n\"b\",\r\n", {{"", "1"}, {"b", ""}}},
        // Quotes inside are doubled; commas and line breaks stay inside the quotes.
        {Table("Quoting",
               {Column("Say \"hi\"", ColumnType::Text), Column("a,b", ColumnType::Memo)},
               {{T("He said \"no\""), T("two\r\nlines")},
                {T("\""), T("x,y")},
                {T("lf\nonly"), T("cr\ronly")},
                {T("plain"), T("")}}),
         true,
         "\"Say \"\"hi\"\"\",\"a,b\"\r\n"
         "\"He said \"\"no\"\"\",\"two\r\nlines\"\r\n"
         "\"\"\"\",\"x,y\"\r\n"
         "\"lf\nonly\",\"cr\ronly\"\r\n"
         "\"plain\",\"\"\r\n",
         {{"Say \"hi\"", "a,b"}, {"He said \"no\"", "two\r\nlines"}, {"\"", "x,y"}, {"lf\nonly", "cr\ronly"},
          {"plain", ""}}},
    };
    expectCases(cases);
}

// One value of every field type the writer makes, written under a locale.
jetwriter::Table EveryType()
{
    jetwriter::Column decimal = Column("Dec", ColumnType::Decimal);
    decimal.precision = 10;
    decimal.scale = 2;
    const jetwriter::GuidValue guid{{0x78, 0x56, 0x34, 0x12, 0xbc, 0x9a, 0xf0, 0xde, 0x01, 0x23, 0x45, 0x67, 0x89,
                                     0xab, 0xcd, 0xef}};
    return Table("EveryType",
                 {Column("Byte", ColumnType::Byte), Column("Int", ColumnType::Integer),
                  Column("Long", ColumnType::Long), Column("Single", ColumnType::Single),
                  Column("Double", ColumnType::Double), Column("Money", ColumnType::Currency),
                  Column("When", ColumnType::DateTime), Column("Done", ColumnType::YesNo),
                  Column("Text", ColumnType::Text), Column("Memo", ColumnType::Memo), Column("Ole", ColumnType::Ole),
                  Column("Guid", ColumnType::Guid), decimal},
                 {{I(255), I(-32768), I(2147483647), 1.5, 3.25, jetwriter::CurrencyValue{12345678},
                   jetwriter::DateValue{46363.4375}, true, T("t"), T("m"), jetwriter::Bytes{{0x01, 0xab}}, guid,
                   jetwriter::DecimalValue{true, 12345, 2}},
                  {N(), N(), N(), N(), N(), N(), N(), false, N(), N(), N(), N(), N()}});
}

TEST_F(ExportFormat, WritesEveryFieldCategory)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    expectCases({{EveryType(), true,
                  "\"Byte\",\"Int\",\"Long\",\"Single\",\"Double\",\"Money\",\"When\",\"Done\",\"Text\",\"Memo\","
                  "\"Ole\",\"Guid\",\"Dec\"\r\n"
                  "255,-32768,2147483647,1.5,3.25,1234.5678,12/7/2026 10:30:00 AM,True,\"t\",\"m\",01AB,"
                  "{12345678-9ABC-DEF0-0123-456789ABCDEF},-123.45\r\n"
                  ",,,,,,,False,\"\",\"\",,,\r\n",
                  {{"Byte", "Int", "Long", "Single", "Double", "Money", "When", "Done", "Text", "Memo", "Ole", "Guid",
                    "Dec"},
                   {"255", "-32768", "2147483647", "1.5", "3.25", "1234.5678", "12/7/2026 10:30:00 AM", "True", "t",
                    "m", "01AB", "{12345678-9ABC-DEF0-0123-456789ABCDEF}", "-123.45"},
                   {"", "", "", "", "", "", "", "False", "", "", "", "", ""}}}});
}

// Under a locale with a decimal comma, numbers holding one are quoted so that
// the record keeps its number of fields.
TEST_F(ExportFormat, QuotesNumbersWithTheLocalesDecimalComma)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    expectCases({{EveryType(), false,
                  "255,-32768,2147483647,\"1,5\",\"3,25\",\"1234,5678\",07.12.2026 10:30:00,True,\"t\",\"m\",01AB,"
                  "{12345678-9ABC-DEF0-0123-456789ABCDEF},\"-123,45\"\r\n"
                  ",,,,,,,False,\"\",\"\",,,\r\n",
                  {{"255", "-32768", "2147483647", "1,5", "3,25", "1234,5678", "07.12.2026 10:30:00", "True", "t", "m",
                    "01AB", "{12345678-9ABC-DEF0-0123-456789ABCDEF}", "-123,45"},
                   {"", "", "", "", "", "", "", "False", "", "", "", "", ""}}}});
}

}  // namespace
}  // namespace varnex::test
