// Calculated columns (Access 2010 and later) read as plain columns of their result type: every calculated
// column of a writer-made table has a plain twin holding the same values, and each of its cells must show,
// hold and sort as its twin's do, in every locale; the file Access made reads as Access shows it.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"  // gcc 12 false alarm on std::variant in lists

#include "WriterDatabase.h"

#include "store/FieldTypes.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

#include <random>

namespace varnex {
namespace {

using jetwriter::Cell;
using jetwriter::ColumnType;
using jetwriter::Null;

const QString kAce = QStringLiteral("Provider=Microsoft.ACE.OLEDB.12.0");
constexpr int kPlainScale = 12;  // of the plain Decimal twin

struct ResultType {
    const char* name;
    ColumnType type;
    uint8_t descriptorType;  // as Access leaves it where the result type was changed later; 0: the result's
    bool nullable;           // a plain Yes/No has no Null
};

const std::vector<ResultType> kResultTypes = {
    {"Text", ColumnType::Text, 0, true},         {"Memo", ColumnType::Memo, 0x0A, true},
    {"Byte", ColumnType::Byte, 0, true},         {"Integer", ColumnType::Integer, 0, true},
    {"Long", ColumnType::Long, 0, true},         {"Single", ColumnType::Single, 0x10, true},
    {"Double", ColumnType::Double, 0, true},     {"Currency", ColumnType::Currency, 0x07, true},
    {"Date", ColumnType::DateTime, 0, true},     {"YesNo", ColumnType::YesNo, 0x03, false},
    {"Guid", ColumnType::Guid, 0, true},         {"Decimal", ColumnType::Decimal, 0x07, true},
};

// Random values of each result type, seeded; Nulls among them.
class Values {
public:
    explicit Values(uint32_t seed) : random_(seed) {}

    Cell of(const ResultType& result)
    {
        if (result.nullable && pick(0, 6) == 0)
            return Null{};
        switch (result.type) {
        case ColumnType::Text: return text(pick(1, 40));
        case ColumnType::Memo: return text(pick(0, 3) == 0 ? pick(2000, 9000) : pick(1, 60));
        case ColumnType::Byte: return int64_t{pick(0, 255)};
        case ColumnType::Integer: return int64_t{pick(-32768, 32767)};
        case ColumnType::Long: return int64_t{pick(INT32_MIN, INT32_MAX)};
        case ColumnType::Single: return static_cast<double>(static_cast<float>(real()));
        case ColumnType::Double: return real();
        case ColumnType::Currency: return jetwriter::CurrencyValue{static_cast<int64_t>(wide()) >> pick(1, 40)};
        case ColumnType::DateTime: return jetwriter::DateValue{pick(-20000, 80000) + pick(0, 86399) / 86400.0};
        case ColumnType::YesNo: return pick(0, 1) == 1;
        case ColumnType::Guid: {
            jetwriter::GuidValue guid{};
            for (uint8_t& b : guid.bytes)
                b = static_cast<uint8_t>(pick(0, 255));
            return guid;
        }
        default: return decimal();
        }
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    uint64_t wide() { return (uint64_t{random_()} << 32) | random_(); }
    double real() { return std::ldexp(std::uniform_real_distribution<double>(-1, 1)(random_), pick(-30, 60)); }

    std::string text(int length)
    {
        static const char* const pieces[] = {"a", "Z", "7", " ", ",", "\"", "é", "中", "Ω", "\t"};
        std::string out;
        for (int i = 0; i < length; ++i)
            out += pieces[pick(0, 9)];
        return out;
    }

    // Up to 28 digits, as many places as the plain twin keeps at most.
    jetwriter::DecimalValue decimal()
    {
        const int scale = pick(0, kPlainScale);
        const int digits = pick(1, 28 - kPlainScale + scale);
        jetwriter::Uint128 mantissa = 0;
        for (int d = 0; d < digits; ++d)
            mantissa = mantissa * 10 + static_cast<unsigned>(pick(0, 9));
        return {pick(0, 1) == 1, mantissa, scale};
    }

    std::mt19937 random_;
};

// ID, then per result type its plain column and its calculated twin.
jetwriter::Table TwinTable(uint32_t seed, int rows)
{
    jetwriter::Table table{"Twins", {{"ID", ColumnType::Long}}, {}, {}};
    for (const ResultType& result : kResultTypes) {
        jetwriter::Column plain{std::string("Plain") + result.name, result.type, result.type == ColumnType::Text ? 100 : 0};
        if (result.type == ColumnType::Decimal) {
            plain.precision = 28;
            plain.scale = kPlainScale;
        }
        jetwriter::Column calculated = plain;
        calculated.name = std::string("Calc") + result.name;
        calculated.expression = "[" + plain.name + "]";
        calculated.typeCode = result.descriptorType;
        table.columns.push_back(plain);
        table.columns.push_back(calculated);
    }
    Values values(seed);
    for (int r = 0; r < rows; ++r) {
        jetwriter::Row row{int64_t{r}};
        for (const ResultType& result : kResultTypes) {
            const Cell value = values.of(result);
            row.push_back(value);
            row.push_back(value);
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

class CalculatedColumnTest : public ::testing::Test {
protected:
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    std::shared_ptr<Recordset> load(const QString& path, const QString& table)
    {
        connection_.setConnectionString(kAce);
        EXPECT_TRUE(connection_.open(path, "Admin", "").ok());
        auto rs = std::make_shared<Recordset>();
        const Status opened = rs->open(table, &connection_);
        EXPECT_TRUE(opened.ok()) << opened.error().description.toStdString();
        return opened.ok() ? rs : nullptr;
    }

    static std::vector<std::string> rowTexts(const Recordset& rs)
    {
        std::vector<std::string> rows;
        for (int64_t row = 0; row < *rs.recordCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < rs.columnCount(); ++column)
                cells << rs.cellText(row, column);
            rows.push_back(cells.join(" | ").toStdString());
        }
        return rows;
    }

    test::TempDir dir_;
    Connection connection_;
};

TEST_F(CalculatedColumnTest, EachResultTypeReadsSortsAndShowsAsItsPlainTwin)
{
    const uint32_t seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    jetwriter::Database database{jetwriter::Format::Ace2010, {}, jetwriter::Encryption::Agile, 45000.0, {TwinTable(seed, 60)}};
    const auto rs = load(test::WriteDatabase(dir_, database, "twins.accdb"), "Twins");
    ASSERT_TRUE(rs);
    EXPECT_TRUE(rs->warnings().empty()) << rs->warnings().front().text().toStdString();
    ASSERT_EQ(rs->columnCount(), 1 + 2 * static_cast<int>(kResultTypes.size()));
    for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German, QLocale::Germany)}) {
        QLocale::setDefault(locale);
        for (size_t k = 0; k < kResultTypes.size(); ++k) {
            const int plain = 1 + 2 * static_cast<int>(k);
            const int calculated = plain + 1;
            SCOPED_TRACE(rs->columnName(calculated).toStdString() + " in " + locale.name().toStdString());
            ASSERT_EQ(rs->columnType(calculated), rs->columnType(plain));
            for (int64_t row = 0; row < *rs->recordCount(); ++row) {
                ASSERT_EQ(rs->cellText(row, calculated), rs->cellText(row, plain)) << "row " << row;
                // A Decimal result keeps its own scale, its twin the column's: the same number all the same.
                if (kResultTypes[k].type != ColumnType::Decimal) {
                    ASSERT_EQ(rs->value(row, calculated), rs->value(row, plain)) << "row " << row;
                }
            }
        }
    }
    // Each sorts the rows as its twin does, ties and Nulls included.
    for (const ResultType& result : kResultTypes) {
        const auto idsSortedBy = [&](const QString& column) {
            EXPECT_TRUE(rs->setSort(QStringLiteral("[%1] DESC").arg(column)).ok());
            QStringList ids;
            for (int64_t row = 0; row < *rs->recordCount(); ++row)
                ids << rs->cellText(row, 0);
            return ids;
        };
        EXPECT_EQ(idsSortedBy(QStringLiteral("Calc%1").arg(result.name)), idsSortedBy(QStringLiteral("Plain%1").arg(result.name)))
            << result.name;
    }
}

// The values Access showed for the file it made (results of text, memo, long, currency, double, yes/no,
// single and decimal type, several of them with another type in the column's descriptor).
TEST_F(CalculatedColumnTest, FileAccessMadeShowsTheComputedValues)
{
    const QString path = QDir(qEnvironmentVariable("VARNEX_REALDATA")).filePath("calcFieldTestV2010.accdb");
    if (!QFile::exists(path))
        GTEST_SKIP() << "no real Access files here";
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const auto rs = load(path, "Table1");
    ASSERT_TRUE(rs);
    EXPECT_TRUE(rs->warnings().empty());
    EXPECT_EQ(rowTexts(*rs),
              (std::vector<std::string>{
                  "1 | Bruce | Wayne | Wayne, Bruce | Gotham | 12 | 1000000 | 83333.3333 | True | Wayne, Bruce=Wayne, Bruce | "
                  "19230.7692307692 | 1000000 | True | 50.325 | 50.325 | 2583.209 | 56505085819.42479129657228018",
                  "2 | Bart | Simpson | Simpson, Bart | Springfield | 13 | -1 | -0.0833 | False | Simpson, Bart=Simpson, Bart | "
                  "-0.0192307692307692 | -1 | True | -36.2222 | -36.2222 | 0.003588959 | -0.0784734499180612994241100748",
                  "3 | John | Doe | Doe, John | Nowhere | 9 | 0 | 0 | False | Doe, John=Doe, John | 0 | 0 | True | 0.0123 | "
                  "0.0123 | 0 | 0",
                  "4 | Test | User | User, Test | Hockessin | 10 | 100 | 8.3333 | False | User, Test=User, Test | "
                  "1.92307692307692 | 100 | True | 102030405060.654321 | 102030405060.654321 | 1.27413E-10 | "
                  "0.000000278701928982421698083"}));
}

}  // namespace
}  // namespace varnex
