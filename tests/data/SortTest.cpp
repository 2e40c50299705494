#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"  // gcc 12 false alarm on std::variant in lists

#include "WriterDatabase.h"

#include "store/FieldTypes.h"
#include "data/TextOrder.h"
#include "support/StoredTable.h"

#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <optional>
#include <random>

namespace varnex {
namespace {

using jetwriter::ColumnType;
using jetwriter::Null;

// Id, Name, Amount, Price, When, Flag: ids tell the order apart.
jetwriter::Table People()
{
    return {"People",
            {{"Id", ColumnType::Long}, {"Name", ColumnType::Text}, {"Amount", ColumnType::Long},
             {"Price", ColumnType::Double}, {"When", ColumnType::DateTime}, {"Flag", ColumnType::YesNo}},
            {
                {int64_t{1}, std::string("beta"), int64_t{10}, 2.5, jetwriter::DateValue{40000.5}, true},
                {int64_t{2}, std::string("Alpha"), Null{}, -1.0, jetwriter::DateValue{-5.25}, false},
                {int64_t{3}, Null{}, int64_t{-7}, Null{}, Null{}, false},
                {int64_t{4}, std::string("alpha"), int64_t{10}, 1e-3, jetwriter::DateValue{40000.25}, true},
                {int64_t{5}, std::string("\u00c9clair"), int64_t{100}, 2.5, jetwriter::DateValue{0.5}, false},
                {int64_t{6}, std::string("BETA"), int64_t{-7}, -1e10, jetwriter::DateValue{40000.5}, true},
            },
            {}};
}

std::vector<int> Ids(Recordset& rs)
{
    std::vector<int> ids;
    const int id = rs.columnIndex("Id");
    for (int64_t position = 0; position < *rs.recordCount(); ++position)
        ids.push_back(static_cast<int>(rs.value(position, id).toInt64()));
    return ids;
}

struct SortCase {
    const char* specification;
    std::vector<int> expected;
};

// Each case sorts a fresh recordset loaded in the stored order 1..6.
TEST(SortTest, OrdersByTheRules)
{
    const std::vector<SortCase> cases = {
        {"[Name]", {3, 2, 4, 1, 6, 5}},             // Null first, case ignored, equal keys stay in order
        {"Name", {3, 2, 4, 1, 6, 5}},
        {"[Name] DESC", {5, 1, 6, 2, 4, 3}},        // reversed, but equal keys still in load order
        {"[Amount]", {2, 3, 6, 1, 4, 5}},           // numbers by value, not as text
        {"[Price] ASC", {3, 6, 2, 4, 1, 5}},
        {"[When]", {3, 2, 5, 4, 1, 6}},             // dates by value, before 1899 too
        {"[Flag]", {1, 4, 6, 2, 3, 5}},             // True (-1) before False (0)
        {"Amount DESC, [Name]", {5, 4, 1, 3, 6, 2}},
        {" [amount] , name desc ", {2, 6, 3, 1, 4, 5}},
        {"", {1, 2, 3, 4, 5, 6}},
    };
    test::OpenDatabase db(jetwriter::Format::Jet4, {People()});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.specification);
        auto rs = db.load("People");
        ASSERT_TRUE(rs);
        const Status status = rs->setSort(c.specification);
        ASSERT_TRUE(status.ok()) << status.error().description.toStdString();
        EXPECT_EQ(Ids(*rs), c.expected);
        EXPECT_EQ(rs->sort(), c.specification);
        // The fast accessors walk the same order.
        EXPECT_EQ(rs->cellText(0, 0), QString::number(c.expected.front()));
    }
}

// A sort by one field keeps the previous sort's order among its equal keys, and "" restores the load order.
TEST(SortTest, SortsAreStableOverThePreviousOrderAndResettable)
{
    test::OpenDatabase db(jetwriter::Format::Jet3, {People()});
    auto rs = db.load("People");
    ASSERT_TRUE(rs->setSort("[Name]").ok());
    ASSERT_TRUE(rs->setSort("[Amount]").ok());
    EXPECT_EQ(Ids(*rs), (std::vector<int>{2, 3, 6, 4, 1, 5}));
    ASSERT_TRUE(rs->setSort("").ok());
    EXPECT_EQ(Ids(*rs), (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

// A field that is not there, or a name the syntax cannot express, fails and leaves the order alone.
TEST(SortTest, BadSpecificationsFailAndKeepTheOrder)
{
    const std::vector<std::pair<const char*, ErrorCode>> cases = {
        {"[Nope]", ErrorCode::ItemNotFound}, {"Name, [Nope] DESC", ErrorCode::ItemNotFound},
        {"[Na]me]", ErrorCode::BadArguments}, {"[Name", ErrorCode::BadArguments},
        {"[Name] SIDEWAYS", ErrorCode::BadArguments}, {"[Name],", ErrorCode::BadArguments},
        {"[]", ErrorCode::BadArguments},
    };
    test::OpenDatabase db(jetwriter::Format::Jet4, {People()});
    auto rs = db.load("People");
    ASSERT_TRUE(rs->setSort("[Amount]").ok());
    for (const auto& [specification, code] : cases) {
        SCOPED_TRACE(specification);
        const Status status = rs->setSort(specification);
        ASSERT_FALSE(status.ok());
        EXPECT_EQ(status.error().code, code);
        EXPECT_EQ(rs->sort(), "[Amount]");
        EXPECT_EQ(Ids(*rs), (std::vector<int>{2, 3, 6, 1, 4, 5}));
    }
}

// Texts of every kind (ASCII of any case, Latin-1, Greek, CJK, surrogate pairs, empty, zero
// characters, a too-long zero, Null, long) sharing long prefixes around the eight bytes the sort keys on,
// and numbers with ties and Nulls, sorted both ways, against a stable sort on the whole folded
// texts or the numbers (Nulls first ascending, last descending); a table large enough to be
// sorted on two threads too. Seeded; the seed is printed on failure.
TEST(SortTest, TextAndNumberOrdersAreTheValuesOrderWhateverTheirPrefixes)
{
    const std::vector<std::string> pieces = {"a", "A", "b", "Z", "z", "\u00e9", "\u00c9", "\u00df", "\u0394",
                                             "\u03b4", "\u65e5", "\U0001F600", " ", "\"", "0", "~", "abcdefgh",
                                             "ABCDEFGH", "Stra\u00dfe", std::string(1, '\0'), "\xC0\x80",
                                             "a piece long enough for texts to tie past what is folded at first, "};
    if (!collationIsCodePoint())
        GTEST_SKIP() << "the locale collates otherwise; this order is the C locale's";
    // Prefixes of every sort, all the same six bytes (the keys then differ in one radix digit), or
    // all the same eight (the texts are then tied on their keys in one run).
    // falling: the numbers fall from row to row, three rows to a number, so that the later rows
    // all sort before the earlier ones, ties kept in their order.
    const struct {
        uint32_t seed;
        std::string shared;
        int rows;
        bool falling = false;
    } cases[] = {{20261208u, "", 3000}, {7u, "", 3000}, {99u, "", 3000}, {5u, "abcdef", 3000}, {11u, "ABCdefgh", 3000},
                 {3u, "", 70000}, {13u, "", 3001, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE("seed " + std::to_string(c.seed));
        std::mt19937 random(c.seed);
        std::vector<std::optional<std::string>> texts;
        std::vector<std::optional<int64_t>> numbers;
        for (int i = 0; i < c.rows; ++i) {
            std::string text = !c.shared.empty() ? c.shared : i % 3 == 0 ? "common prefix " : i % 3 == 1 ? "COMMON" : "";
            const int count = static_cast<int>(random() % 6);
            for (int k = 0; k < count; ++k)
                text += pieces[random() % pieces.size()];
            texts.push_back(random() % 16 == 0 ? std::nullopt : std::optional(text));
            const auto magnitude = static_cast<uint64_t>(random() % 64) << (random() % 58) | random() % 4;
            const int64_t number = random() % 2 ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
            numbers.push_back(c.falling ? std::optional(int64_t{-i / 3})
                              : random() % 16 == 0 ? std::nullopt : std::optional(number));
        }
        std::vector<std::vector<test::StoredCell>> rows;
        std::vector<std::string> folded(texts.size());
        for (size_t i = 0; i < texts.size(); ++i) {
            rows.push_back({texts[i] ? test::StoredBytes(*texts[i]) : test::StoredNull(),
                            numbers[i] ? test::Stored(*numbers[i]) : test::StoredNull()});
            if (texts[i])
                appendFoldedUtf8(*texts[i], folded[i]);
        }
        // A Null is below every value.
        const std::function<bool(uint32_t, uint32_t)> textBelow = [&](uint32_t a, uint32_t b) {
            return texts[b] && (!texts[a] || folded[a] < folded[b]);
        };
        const std::function<bool(uint32_t, uint32_t)> numberBelow = [&](uint32_t a, uint32_t b) {
            return numbers[b] && (!numbers[a] || *numbers[a] < *numbers[b]);
        };
        for (const auto& [column, below] : {std::pair{"T", textBelow}, std::pair{"N", numberBelow}}) {
            for (const bool descending : {false, true}) {
                const std::string sort = std::string("[") + column + "]" + (descending ? " DESC" : "");
                SCOPED_TRACE(sort);
                Recordset rs;
                rs.openOver(test::StoredTable({{"T", FieldType::VarWChar, 0, 0}, {"N", FieldType::BigInt, 0, 0}}, rows));
                ASSERT_TRUE(rs.setSort(QString::fromStdString(sort)).ok());
                std::vector<uint32_t> expected(texts.size());
                std::iota(expected.begin(), expected.end(), 0u);
                std::stable_sort(expected.begin(), expected.end(), [&](uint32_t a, uint32_t b) {
                    return descending ? below(b, a) : below(a, b);
                });
                for (size_t p = 0; p < expected.size(); ++p)
                    ASSERT_EQ(rs.storedRow(static_cast<int64_t>(p)), expected[p]) << "position " << p;
            }
        }
    }
}

// Every code point folds to its capital as Qt has it (ASCII: the small letters only), wherever it
// stands among the ASCII characters the fold takes eight at a time.
TEST(FoldingTest, FoldsEveryCodePointToItsCapital)
{
    for (char32_t cp = 1; cp < 0x110000; cp += cp < 0x10000 ? 1 : 97) {
        if (cp >= 0xD800 && cp < 0xE000)
            continue;  // surrogates are no characters of UTF-8
        const char32_t capital = cp < 0x80 ? (cp >= 'a' && cp <= 'z' ? cp - 32 : cp) : QChar::toUpper(cp);
        const QByteArray text = QString::fromUcs4(&cp, 1).toUtf8();
        const QByteArray expected = QString::fromUcs4(&capital, 1).toUtf8();
        const std::string before(cp % 11, 'q');
        std::string folded;
        appendFoldedUtf8(before + text.toStdString() + "xy", folded);
        ASSERT_EQ(folded, std::string(cp % 11, 'Q') + expected.toStdString() + "XY") << "U+" << std::hex << uint32_t{cp};
    }
}

}  // namespace
}  // namespace varnex
