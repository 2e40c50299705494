#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"  // gcc 12 false alarm on std::variant in lists

#include "WriterDatabase.h"

#include "data/CellValue.h"
#include "data/ColumnSort.h"
#include "data/ValueFormatter.h"
#include "support/StoredTable.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace varnex {
namespace {

using jetwriter::ColumnType;

// Three of the reader's batches of 4096 rows and a part of a fourth.
constexpr int kRows = 9000;
constexpr int64_t kDay = 86400;
constexpr int64_t kReach = int64_t{1} << 31;  // from the first value, either way
constexpr int64_t kNewYear2020 = 43831 * kDay;

// A date of whole seconds since 1899-12-30, as Access computes it: days plus the day's fraction.
double WholeSeconds(int64_t seconds)
{
    const int64_t magnitude = seconds < 0 ? -seconds : seconds;
    const double date = static_cast<double>(magnitude / kDay) + static_cast<double>(magnitude % kDay) / 86400.0;
    return seconds < 0 ? -date : date;
}

std::optional<double> Near2020(int row)
{
    if (row % 7 == 3)
        return std::nullopt;
    return WholeSeconds(kNewYear2020 + (row % 3000) * kDay + (row * int64_t{7919}) % kDay);
}

// A Date column's values, one a row, and whether a table keeping values compact still holds them
// at four bytes after the last.
struct DateColumnCase {
    const char* name;
    std::function<std::optional<double>(int row)> value;
    bool staysCompact;
};

// The same for a Long Integer column, held at no bytes while compact.
struct CountColumnCase {
    const char* name;
    std::function<std::optional<int32_t>(int row)> value;
    bool staysCompact;
};

std::vector<CountColumnCase> CountCases()
{
    const auto countingFrom = [](int64_t first, int skipAt, int nullEvery) {
        return [=](int row) -> std::optional<int32_t> {
            if (nullEvery > 0 && row % nullEvery == 1)
                return std::nullopt;
            return static_cast<int32_t>(first + row + (row >= skipAt ? 1 : 0));
        };
    };
    return {
        {"Id", countingFrom(1, kRows, 0), true},
        {"IdWithNulls", countingFrom(1, kRows, 5), true},
        {"FromBelowZero", countingFrom(-4500, kRows, 0), true},
        {"UpToTheLargest", countingFrom(INT32_MAX - kRows + 1, kRows, 0), true},
        {"PastTheLargest", [](int row) -> std::optional<int32_t> { return row < 100 ? INT32_MAX - 99 + row : row; }, false},
        {"GapMidBatch", countingFrom(1, 5000, 7), false},
        {"GapAtBatchStart", countingFrom(1, 4096, 0), false},
        {"GapAtTheEnd", countingFrom(1, kRows - 1, 0), false},
        {"NullsThenCounting", [](int row) -> std::optional<int32_t> { return row < 6000 ? std::nullopt : std::optional<int32_t>(row); }, true},
        {"Falling", [](int row) -> std::optional<int32_t> { return kRows - row; }, false},
        {"Nulls", [](int) { return std::optional<int32_t>(); }, true},
    };
}

// Near2020 with one value changed.
std::function<std::optional<double>(int)> Near2020But(int changedRow, double changed)
{
    return [=](int row) { return row == changedRow ? std::optional<double>(changed) : Near2020(row); };
}

std::vector<DateColumnCase> Cases()
{
    const double firstReachable = WholeSeconds(kNewYear2020 - kReach);
    const double lastReachable = WholeSeconds(kNewYear2020 + kReach - 1);
    const auto reach = [=](double far, int farRow) {
        return [=](int row) -> std::optional<double> {
            if (row == 0)
                return WholeSeconds(kNewYear2020);
            if (row == 1)
                return firstReachable;
            if (row == farRow)
                return far;
            return Near2020(row);
        };
    };
    return {
        {"Seconds", Near2020, true},
        {"Negative",
         [](int row) -> std::optional<double> {
             if (row % 5 == 0)
                 return std::nullopt;
             // Before 1899-12-30 (-1.25 is 1899-12-29 06:00), then after it, in turns.
             const int64_t seconds = (1 + row % 4000) * kDay + (row * int64_t{31}) % kDay;
             return WholeSeconds(row % 2 == 0 ? -seconds : seconds);
         },
         true},
        {"FirstAndLastReachable", reach(lastReachable, 6000), true},
        {"PastTheLastMidBatch", reach(WholeSeconds(kNewYear2020 + kReach), 5000), false},
        {"BeforeTheFirstAtBatchStart", reach(WholeSeconds(kNewYear2020 - kReach - 1), 4096), false},
        {"MillisecondInTheFirstBatch", Near2020But(10, WholeSeconds(kNewYear2020 + 100) + 0.0005 / 86400.0), false},
        {"MinusZero", Near2020But(8191, -0.0), false},
        {"LastSecondOf9999AtTheEnd", Near2020But(kRows - 1, WholeSeconds(2958465 * kDay + kDay - 1)), false},
        {"FractionFirst", Near2020But(0, 43831.123456789), false},
        {"NullsThenSecondsThenAFraction",
         [](int row) -> std::optional<double> {
             if (row < 6000)
                 return std::nullopt;
             return row == 8500 ? 40000.0000001 : Near2020(row);
         },
         false},
        {"Nulls", [](int) { return std::optional<double>(); }, true},
    };
}

// Each cell's text and value, bit for bit, one a line; then the rows' order sorted each way.
std::string Outputs(const TableData& table, int column, const ValueFormatter& formatter)
{
    std::string out;
    for (int64_t row = 0; row < table.rowCount(); ++row) {
        appendStoredText(table, row, column, formatter, out);
        const Variant value = storedValue(table, row, column);
        const bool isDate = table.info(column).type == FieldType::Date;
        out += value.isNull() ? std::string(" Null")
               : isDate       ? " " + std::to_string(std::bit_cast<uint64_t>(value.toDouble()))
                              : " " + std::to_string(value.toInt64());
        out += '\n';
    }
    for (const bool descending : {false, true}) {
        std::vector<uint32_t> order(static_cast<size_t>(table.rowCount()));
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<uint32_t>(i);
        sortByColumn(table, {column, descending}, order);
        out += descending ? "descending:" : "ascending:";
        for (const uint32_t row : order)
            out += ' ' + std::to_string(row);
        out += '\n';
    }
    return out;
}

// Where two outputs part, line by line; empty where they do not.
std::string FirstDifference(const std::string& got, const std::string& want)
{
    size_t line = 1;
    size_t at = 0;
    while (at < got.size() || at < want.size()) {
        const size_t gotEnd = std::min(got.find('\n', at), got.size());
        const size_t wantEnd = std::min(want.find('\n', at), want.size());
        if (got.compare(at, gotEnd - at, want, at, wantEnd - at) != 0)
            return "line " + std::to_string(line) + ": " + got.substr(at, std::min<size_t>(gotEnd - at, 200)) + " instead of " +
                   want.substr(at, std::min<size_t>(wantEnd - at, 200));
        if (gotEnd != wantEnd)
            return "line " + std::to_string(line) + ": the outputs part after it";
        at = gotEnd + 1;
        ++line;
    }
    return {};
}

// A loaded table keeps its Date columns at four bytes a row while every value is a whole second
// within reach of the column's first, and its Long Integer columns at none while their values
// count up by one; it widens them to the values as read at the first that does not fit, in the
// middle of a batch, at its start or at the end; either way it shows, gives and sorts every value
// exactly as a table that keeps the values as read does.
TEST(CompactValuesTest, ShowAndSortAsTheValuesAsRead)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const std::vector<DateColumnCase> dateCases = Cases();
    const std::vector<CountColumnCase> countCases = CountCases();
    jetwriter::Table table{"Values", {}, {}, {}};
    std::vector<ColumnInfo> columns;
    std::vector<bool> staysCompact;
    for (const DateColumnCase& c : dateCases) {
        table.columns.push_back({c.name, ColumnType::DateTime});
        columns.push_back({c.name, FieldType::Date});
        staysCompact.push_back(c.staysCompact);
    }
    for (const CountColumnCase& c : countCases) {
        table.columns.push_back({c.name, ColumnType::Long});
        columns.push_back({c.name, FieldType::Integer});
        staysCompact.push_back(c.staysCompact);
    }
    std::vector<std::vector<test::StoredCell>> stored;
    for (int row = 0; row < kRows; ++row) {
        std::vector<jetwriter::Cell> cells;
        std::vector<test::StoredCell> storedCells;
        for (const DateColumnCase& c : dateCases) {
            const std::optional<double> value = c.value(row);
            cells.push_back(value ? jetwriter::Cell(jetwriter::DateValue{*value}) : jetwriter::Cell(jetwriter::Null{}));
            storedCells.push_back(value ? test::Stored(*value) : test::StoredNull());
        }
        for (const CountColumnCase& c : countCases) {
            const std::optional<int32_t> value = c.value(row);
            cells.push_back(value ? jetwriter::Cell(int64_t{*value}) : jetwriter::Cell(jetwriter::Null{}));
            storedCells.push_back(value ? test::Stored(*value) : test::StoredNull());
        }
        table.rows.push_back(std::move(cells));
        stored.push_back(std::move(storedCells));
    }
    const auto asRead = test::StoredTable(columns, stored);

    test::OpenDatabase database(jetwriter::Format::Jet4, {table});
    ASSERT_TRUE(database.status().ok());
    const auto rs = database.load("Values");
    ASSERT_TRUE(rs);
    const std::shared_ptr<const TableData> loaded = rs->loadedRows();
    ASSERT_EQ(loaded->rowCount(), kRows);
    const auto formatter = ValueFormatter::forDefaultLocale();
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        SCOPED_TRACE(columns[static_cast<size_t>(c)].name.toStdString());
        const bool isDate = columns[static_cast<size_t>(c)].type == FieldType::Date;
        const bool compact = staysCompact[static_cast<size_t>(c)];
        EXPECT_EQ(loaded->column(c).form, !compact ? ValueForm::AsRead : isDate ? ValueForm::DateSeconds : ValueForm::CountingUp);
        const size_t width = isDate ? (compact ? 4 : 8) : (compact ? 0 : 4);
        EXPECT_EQ(loaded->column(c).values.size(), static_cast<size_t>(kRows) * width);
        EXPECT_EQ(FirstDifference(Outputs(*loaded, c, *formatter), Outputs(*asRead, c, *formatter)), "");
    }
}

}  // namespace
}  // namespace varnex
