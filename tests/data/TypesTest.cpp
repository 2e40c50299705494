// gcc 12 reports a false "maybe uninitialized" for std::variant members of aggregates built from lists.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "WriterDatabase.h"

#include "crypto/Ciphers.h"
#include "store/FieldTypes.h"

#include <QFile>

#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace varnex {
namespace {

using jetwriter::ColumnType;
using jetwriter::Format;

struct TypeCase {
    const char* column;
    ColumnType type;
    jetwriter::Cell cell;
    FieldType expectedType;
    Variant expectedValue;
    QString expectedText;
};

jetwriter::DecimalValue WriterDecimal(bool negative, uint64_t mantissa, int scale)
{
    return {negative, mantissa, scale};
}

// Decimal columns exist from Jet 4 on.
std::vector<TypeCase> Cases(Format format)
{
    const jetwriter::GuidValue guid = *jetwriter::parseGuid("{12345678-9ABC-DEF0-1122-334455667788}");
    GuidBytes guidBytes;
    std::memcpy(guidBytes.data(), guid.bytes, 16);
    std::vector<TypeCase> cases = {
        {"Byte", ColumnType::Byte, int64_t{200}, FieldType::UnsignedTinyInt, Variant::byte(200), "200"},
        {"Integer", ColumnType::Integer, int64_t{-32768}, FieldType::SmallInt, Variant::integer(-32768), "-32768"},
        {"Long", ColumnType::Long, int64_t{2147483647}, FieldType::Integer, Variant::longInteger(2147483647), "2147483647"},
        {"Single", ColumnType::Single, 0.1, FieldType::Single, Variant::single(0.1f), "0.1"},
        {"Double", ColumnType::Double, 0.1 + 0.2, FieldType::Double, Variant::doubleValue(0.1 + 0.2), "0.3"},
        {"Big", ColumnType::Double, 1.5e300, FieldType::Double, Variant::doubleValue(1.5e300), "1.5E+300"},
        {"Tiny", ColumnType::Double, -2.5e-7, FieldType::Double, Variant::doubleValue(-2.5e-7), "-2.5E-07"},
        {"Money", ColumnType::Currency, jetwriter::CurrencyValue{-922337203685477580}, FieldType::Currency,
         Variant::currency(-922337203685477580), "-92233720368547.758"},
        {"When", ColumnType::DateTime, jetwriter::DateValue{37623.171597222222}, FieldType::Date,
         Variant::date(37623.171597222222), "1/2/2003 4:07:06 AM"},
        {"Old", ColumnType::DateTime, jetwriter::DateValue{-600000.5}, FieldType::Date, Variant::date(-600000.5),
         "4/2/0257 12:00:00 PM"},
        {"Yes", ColumnType::YesNo, true, FieldType::Boolean, Variant::boolean(true), "True"},
        {"No", ColumnType::YesNo, false, FieldType::Boolean, Variant::boolean(false), "False"},
        {"Text", ColumnType::Text, std::string("Gr\u00fc\u00dfe \u20ac"), FieldType::VarWChar,
         Variant::text(u"Gr\u00fc\u00dfe \u20ac"_qs), u"Gr\u00fc\u00dfe \u20ac"_qs},
        {"Empty", ColumnType::Text, std::string(), FieldType::VarWChar, Variant::text(""), ""},
        {"Memo", ColumnType::Memo, std::string("line1\r\nline2"), FieldType::LongVarWChar, Variant::text("line1\r\nline2"),
         "line1\r\nline2"},
        {"Ole", ColumnType::Ole, jetwriter::Bytes{{0x00, 0xFF, 0x10}}, FieldType::LongVarBinary,
         Variant::binary(QByteArray("\x00\xFF\x10", 3)), "00FF10"},
        {"Guid", ColumnType::Guid, guid, FieldType::GUID, Variant::guid(guidBytes), "{12345678-9ABC-DEF0-1122-334455667788}"},
        {"Decimal", ColumnType::Decimal, WriterDecimal(true, 123456789, 4), FieldType::Numeric,
         Variant::decimal({true, 123456789, 4}), "-12345.6789"},
    };
    if (format == Format::Jet3)
        cases.pop_back();
    return cases;
}

class TypesTest : public ::testing::TestWithParam<Format> {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

// Every type's field type code, exact value and text, and a Null in each; both formats.
TEST_P(TypesTest, ValuesAreExactAndTextIsTheLocaleConversion)
{
    const auto cases = Cases(GetParam());
    jetwriter::Table table{"All Types", {}, {}, {}};
    jetwriter::Row values;
    jetwriter::Row nulls;
    for (const auto& c : cases) {
        jetwriter::Column column{c.column, c.type};
        if (c.type == ColumnType::Decimal) {
            column.precision = 18;
            column.scale = 4;
        }
        table.columns.push_back(column);
        values.push_back(c.cell);
        nulls.push_back(c.type == ColumnType::YesNo ? jetwriter::Cell(false) : jetwriter::Cell(jetwriter::Null{}));
    }
    table.rows = {values, nulls};
    test::OpenDatabase db(GetParam(), {table});
    ASSERT_TRUE(db.status().ok());
    Status status;
    auto rs = db.load("All Types", &status);
    ASSERT_TRUE(rs) << status.error().description.toStdString();
    ASSERT_EQ(*rs->recordCount(), 2);
    ASSERT_EQ(rs->columnCount(), static_cast<int>(cases.size()));

    for (size_t i = 0; i < cases.size(); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.column);
        const int column = static_cast<int>(i);
        EXPECT_EQ(rs->columnName(column), c.column);
        EXPECT_EQ(rs->columnType(column), c.expectedType);
        const Variant value = rs->value(0, column);
        if (c.expectedType == FieldType::Single)
            EXPECT_EQ(value.toFloat(), c.expectedValue.toFloat());
        else
            EXPECT_EQ(value, c.expectedValue);
        EXPECT_EQ(rs->cellText(0, column), c.expectedText);
        std::string utf8;
        rs->appendCellTextUtf8(0, column, utf8);
        EXPECT_EQ(QString::fromStdString(utf8), c.expectedText);

        const bool yesNo = c.expectedType == FieldType::Boolean;
        EXPECT_EQ(rs->isNull(1, column), !yesNo);
        EXPECT_EQ(rs->cellText(1, column), yesNo ? "False" : "");
    }
    EXPECT_TRUE(rs->value(1, rs->columnIndex("Text")).isNull());
    EXPECT_FALSE(rs->value(0, rs->columnIndex("Empty")).isNull());  // a zero-length text is not Null
}

// A long value comes back whole, however many pages it spans.
TEST_P(TypesTest, LongMemoAndOleValuesComeBackWhole)
{
    std::string memo;
    for (int i = 0; memo.size() < 5u << 20; ++i)
        memo += "line " + std::to_string(i) + " \u00e9\r\n";
    std::vector<uint8_t> blob(3u << 20);
    for (size_t i = 0; i < blob.size(); ++i)
        blob[i] = static_cast<uint8_t>(i * 7 + (i >> 11));
    jetwriter::Table table{"Long", {{"M", ColumnType::Memo}, {"O", ColumnType::Ole}}, {{memo, jetwriter::Bytes{blob}}}, {}};
    test::OpenDatabase db(GetParam(), {table});
    auto rs = db.load("Long");
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->value(0, rs->columnIndex("M")).toText(), QString::fromStdString(memo));
    const QByteArray bytes = rs->value(0, rs->columnIndex("O")).toBytes();
    ASSERT_EQ(static_cast<size_t>(bytes.size()), blob.size());
    EXPECT_EQ(std::memcmp(bytes.constData(), blob.data(), blob.size()), 0);
}

// Jet 3 text is in the code page the header names: the same byte reads as another letter under 1251.
TEST(Jet3CodePageTest, TextIsDecodedWithTheHeadersCodePage)
{
    test::TempDir dir;
    jetwriter::Database database;
    database.format = Format::Jet3;
    database.tables = {{"T", {{"S", ColumnType::Text}}, {{std::string("caf\u00e9")}}, {}}};
    const QString path = test::WriteDatabase(dir, database);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        QByteArray page = file.read(2048);
        const std::array<uint8_t, 4> key = {0xC7, 0xDA, 0x39, 0x6B};
        auto* scrambled = reinterpret_cast<uint8_t*>(page.data()) + 0x18;
        crypto::rc4(key, std::span<uint8_t>(scrambled, 126));
        page[0x3C] = static_cast<char>(1251 & 0xFF);
        page[0x3D] = static_cast<char>(1251 >> 8);
        crypto::rc4(key, std::span<uint8_t>(scrambled, 126));
        ASSERT_TRUE(file.seek(0));
        ASSERT_EQ(file.write(page), 2048);
    }
    Connection connection;
    connection.setConnectionString(test::ProviderFor(Format::Jet3));
    ASSERT_TRUE(connection.open(path, "Admin", "").ok());
    Recordset rs;
    ASSERT_TRUE(rs.open("T", &connection).ok());
    EXPECT_EQ(rs.cellText(0, 0), u"caf\u0439"_qs);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, TypesTest, ::testing::Values(Format::Jet3, Format::Jet4),
                         [](const auto& info) { return info.param == Format::Jet3 ? "Jet3" : "Jet4"; });

}  // namespace
}  // namespace varnex
