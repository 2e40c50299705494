#include "WriterDatabase.h"

#include "data/ColumnTextProfile.h"
#include "data/TextOrder.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <numeric>

namespace varnex {
namespace {

using jetwriter::ColumnType;
using jetwriter::Null;

// Id, Name, Note, Amount, When, Flag; the ids tell the rows apart.
jetwriter::Table People()
{
    return {"People",
            {{"Id", ColumnType::Long}, {"Name", ColumnType::Text}, {"Note", ColumnType::Memo},
             {"Amount", ColumnType::Double}, {"When", ColumnType::DateTime}, {"Flag", ColumnType::YesNo}},
            {
                {int64_t{1}, std::string("M\u00fcller"), std::string("50% off [sale]*"), 10.5,
                 jetwriter::DateValue{43601.5}, true},
                {int64_t{2}, std::string("M\u00dcLLER"), std::string("say \"hi\"\tthen 'bye'"), -3.25,
                 jetwriter::DateValue{36526.0}, false},
                {int64_t{3}, Null{}, Null{}, Null{}, Null{}, false},
                {int64_t{4}, std::string("K\u0131r\u0131kkale"), std::string("line one\r\nline two"), 4711.0,
                 jetwriter::DateValue{43602.25}, true},
                {int64_t{5}, std::string("mueller"), std::string("C:\\path\\file.txt (copy)?"), 0.5,
                 jetwriter::DateValue{40000.0}, false},
                {int64_t{6}, std::string("\u0394elta \u65e5\u672c"), std::string("x"), 1e21,
                 jetwriter::DateValue{43601.0}, true},
            },
            {}};
}

std::vector<int> Ids(Recordset& rs)
{
    std::vector<int> ids;
    for (int64_t position = 0; position < *rs.recordCount(); ++position)
        ids.push_back(rs.cellText(position, 0).toInt());
    return ids;
}

const std::vector<int> kAllColumns = {0, 1, 2, 3, 4, 5};

struct FilterCase {
    const char* name;
    QString text;
    std::vector<int> columns;
    std::vector<int> expected;
};

// What the grid shows in the US English locale: Amount 10.5, -3.25, 4711, 0.5, 1E+21;
// When 5/16/2019 12:00:00 PM, 1/1/2000, 5/17/2019 6:00:00 AM, 7/6/2009, 5/16/2019; Flag True/False.
std::vector<FilterCase> Cases()
{
    return {
        {"letter case ignored", "m\u00fcLLer", kAllColumns, {1, 2}},
        {"no folding beyond single characters", "muller", kAllColumns, {}},
        {"dotless i folds to I", "KIRIK", kAllColumns, {4}},
        {"ASCII text finds the dotless i", "kirikkale", {1}, {4}},
        {"Greek and CJK", "\u03b4ELTA \u65e5", kAllColumns, {6}},
        {"percent is plain", "50%", kAllColumns, {1}},
        {"a lone percent", "%", kAllColumns, {1}},
        {"star and brackets", "[sale]*", kAllColumns, {1}},
        {"a star alone finds only stars", "*", kAllColumns, {1}},
        {"quotes", "\"hi\"", kAllColumns, {2}},
        {"apostrophes", "'bye'", kAllColumns, {2}},
        {"a tab", "\t", kAllColumns, {2}},
        {"line break in a memo", "one\r\nline", kAllColumns, {4}},
        {"backslash and question mark", "\\file.txt (copy)?", kAllColumns, {5}},
        {"a control character nowhere", QString(QChar(1)), kAllColumns, {}},
        {"number as shown", "4711", kAllColumns, {4}},
        {"decimal point", ".5", kAllColumns, {1, 5}},
        {"minus sign", "-3", kAllColumns, {2}},
        {"exponent as shown", "e+21", kAllColumns, {6}},
        {"date as shown", "5/16/2019", kAllColumns, {1, 6}},
        {"time as shown", "6:00:00 am", kAllColumns, {4}},
        {"Yes/No as shown", "true", kAllColumns, {1, 4, 6}},
        {"Null cells never match", "E", {1}, {1, 2, 4, 5, 6}},
        {"only the given columns", "4711", {1, 2, 4}, {}},
        {"no columns", "M", {}, {}},
        {"no match", "zzz", kAllColumns, {}},
    };
}

class FilterTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    test::OpenDatabase db_{jetwriter::Format::Jet4, {People()}};
};

// Each case filters a fresh recordset, with and without the profiles that let the filter pass over columns.
TEST_F(FilterTest, ShowsRowsWhoseShownTextHoldsTheTextIgnoringCase)
{
    for (const bool profiled : {false, true}) {
        for (const FilterCase& c : Cases()) {
            SCOPED_TRACE(std::string(c.name) + (profiled ? ", profiled" : ""));
            auto rs = db_.load("People");
            ASSERT_TRUE(rs);
            if (profiled) {
                auto profiles = profileColumnTexts(rs->loadedRows(), ValueFormatter::forDefaultLocale(), kAllColumns);
                ASSERT_TRUE(profiles);
                rs->setTextProfiles(std::make_shared<const ColumnTextProfiles>(std::move(*profiles)));
            }
            const Status status = rs->setFilter(c.text, c.columns);
            ASSERT_TRUE(status.ok()) << status.error().description.toStdString();
            EXPECT_EQ(Ids(*rs), c.expected);
            EXPECT_EQ(*rs->recordCount(), static_cast<int64_t>(c.expected.size()));
            EXPECT_EQ(*rs->unfilteredCount(), 6);
            EXPECT_EQ(rs->filter(), c.text);
            // The values by position see the same rows.
            std::vector<int> values;
            for (int64_t position = 0; position < *rs->recordCount(); ++position)
                values.push_back(static_cast<int>(rs->value(position, rs->columnIndex("Id")).toInt64()));
            EXPECT_EQ(values, c.expected);
        }
    }
}

// Typing on narrows from the rows shown; deleting, clearing and sorting bring the right rows back in order.
TEST_F(FilterTest, NarrowsSortsAndClears)
{
    auto rs = db_.load("People");
    ASSERT_TRUE(rs);
    ASSERT_TRUE(rs->setSort("[Amount] DESC").ok());
    const struct {
        const char* step;
        QString filter;             // set as typed; null: a sort instead
        const char* sort;
        std::vector<int> expected;
        size_t candidates;           // rows a further character would look at
    } steps[] = {
        {"one letter over every row (False holds it)", "e", nullptr, {6, 4, 1, 5, 2, 3}, 6},
        {"more letters narrow", "el", nullptr, {6, 5}, 2},
        {"a sort keeps the filter", {}, "[Name]", {5, 6}, 2},
        {"a text not holding the last one looks at every row (AM, PM)", "m", nullptr, {4, 5, 1, 2}, 4},
        {"clearing shows every row in the sort's order", "", nullptr, {3, 4, 5, 1, 2, 6}, 6},
        {"the load order again", {}, "", {1, 2, 3, 4, 5, 6}, 6},
        {"then a filter in load order", "LL", nullptr, {1, 2, 5}, 3},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        const Status status = step.sort ? rs->setSort(step.sort) : rs->setFilter(step.filter, kAllColumns);
        ASSERT_TRUE(status.ok()) << status.error().description.toStdString();
        EXPECT_EQ(Ids(*rs), step.expected);
        EXPECT_EQ(rs->isFiltered(), !rs->filter().isEmpty());
        EXPECT_EQ(rs->prepareFilter(rs->filter() + "x", kAllColumns).candidates.size(), step.candidates);
    }
}

// A run prepared before the rows or their order changed is not applied; a cancelled one neither.
TEST_F(FilterTest, StaleOrCancelledRunsChangeNothing)
{
    auto rs = db_.load("People");
    ASSERT_TRUE(rs);
    RowFilterRun stale = rs->prepareFilter("M", kAllColumns);
    ASSERT_TRUE(rs->setSort("[Id] DESC").ok());
    EXPECT_TRUE(stale.run());
    EXPECT_FALSE(rs->applyFilter(stale));
    EXPECT_EQ(Ids(*rs), (std::vector<int>{6, 5, 4, 3, 2, 1}));

    RowFilterRun cancelled = rs->prepareFilter("M", kAllColumns);
    const std::atomic<bool> cancel{true};
    EXPECT_FALSE(cancelled.run(&cancel));
    EXPECT_FALSE(rs->applyFilter(cancelled));
    EXPECT_FALSE(rs->isFiltered());

    RowFilterRun fresh = rs->prepareFilter("M", kAllColumns);
    EXPECT_TRUE(fresh.run());
    EXPECT_TRUE(rs->applyFilter(fresh));
    EXPECT_EQ(Ids(*rs), (std::vector<int>{5, 4, 2, 1}));
    EXPECT_FALSE(rs->applyFilter(fresh));  // once only

    EXPECT_EQ(rs->setFilter("x", {6}).error().code, ErrorCode::BadArguments);
    ASSERT_TRUE(rs->close().ok());
    EXPECT_EQ(rs->setFilter("x", kAllColumns).error().code, ErrorCode::ObjectClosed);
}

// ASCII letters made upper case, and each run of other bytes made one 0x80: where an ASCII
// text can be found is all that is left.
std::string AsciiShape(const std::string& text)
{
    std::string shape;
    for (const char c : text) {
        if (static_cast<uint8_t>(c) < 0x80)
            shape += c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
        else if (shape.empty() || shape.back() != '\x80')
            shape += '\x80';
    }
    return shape;
}

// Where folding changes the ASCII bytes of a text only in letter case and makes nothing else
// ASCII, the filter looks for an ASCII text in the cell unfolded; the answer must never be yes
// where folding does more, malformed bytes included.
TEST(FoldingTest, TellsWhereFoldingOnlyChangesAsciiLetters)
{
    const struct {
        std::string text;
        bool onlyAsciiLetters;
    } cases[] = {
        {"", true},
        {"plain ascii, 123!", true},
        {"M\u00fcller \u00c9clair \u03b4 \u65e5\u672c \U0001F600", true},
        {"K\u0131r\u0131k", false},           // dotless i folds to I
        {"\u017Fun", false},                   // long s folds to S
        {"\xC1\xA1", false},                    // a too-long 'a'
        {"\xE0\x81\xA1", false},                // the same in three bytes
        {"\xC3" "A", false},                     // a lead byte that takes in an ASCII letter
        {"\xB5 stray", true},                    // a stray continuation byte stands for itself
        {"end \xC3", true},                      // as does a lead byte at the end
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(foldsOnlyAsciiLetters(c.text), c.onlyAsciiLetters);
        std::string folded;
        appendFoldedUtf8(c.text, folded);
        EXPECT_EQ(AsciiShape(folded) == AsciiShape(c.text), c.onlyAsciiLetters);
    }
}

// Over many rows the work is shared between threads; the result keeps the order shown.
TEST(FilterLargeTest, ManyRowsKeepTheirOrder)
{
    jetwriter::Table numbers{"Numbers", {{"N", ColumnType::Long}, {"T", ColumnType::Text}}, {}, {}};
    int64_t next = 0;
    numbers.rowSource = [&next](jetwriter::Row& row) {
        if (next == 50000)
            return false;
        row = {next, next % 7 == 0 ? jetwriter::Cell{std::string("Sieben ") + std::to_string(next)} : jetwriter::Cell{Null{}}};
        ++next;
        return true;
    };
    test::OpenDatabase db(jetwriter::Format::Jet4, {numbers});
    auto rs = db.load("Numbers");
    ASSERT_TRUE(rs);
    ASSERT_TRUE(rs->setSort("[N] DESC").ok());
    ASSERT_TRUE(rs->setFilter("sieben", {0, 1}).ok());
    ASSERT_EQ(*rs->recordCount(), 7143);
    for (int64_t position = 0; position < *rs->recordCount(); ++position)
        ASSERT_EQ(rs->cellText(position, 0).toLongLong(), 49994 - 7 * position);
}

}  // namespace
}  // namespace varnex
