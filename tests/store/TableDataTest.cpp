#include "store/FieldTypes.h"
#include "store/ReaderProtocol.h"
#include "store/TableData.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>

namespace varnex {
namespace {

// The bytes writeRows() sends for a table.
std::string SentRows(const TableData& table)
{
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    EXPECT_TRUE(reader::writeRows(fds[1], table));
    close(fds[1]);
    std::string sent;
    char chunk[4096];
    for (ssize_t got; (got = read(fds[0], chunk, sizeof chunk)) > 0;)
        sent.append(chunk, static_cast<size_t>(got));
    close(fds[0]);
    return sent;
}

// Rows appended in batches of awkward sizes keep each Null flag, value and text in place, in a
// table that keeps its values as read and in one that keeps them compact, whose batches may keep
// theirs either way: a Long Integer column counting up until row 150 (widened there), a Date
// column of whole seconds (kept at four bytes). Both tables send the very same bytes.
TEST(TableDataTest, BatchesOfAnySizeKeepEveryCell)
{
    const std::vector<ColumnInfo> columns = {
        {"N", FieldType::Integer, 0, 0}, {"T", FieldType::VarWChar, 0, 0}, {"D", FieldType::Date, 0, 0}};
    const auto isNullRow = [](int32_t i) { return i % 3 == 0 || i % 7 == 0; };
    const auto number = [](int32_t i) { return i < 150 ? i : i + 1000; };
    const auto date = [](int32_t i) { return static_cast<double>(43831 - i) + static_cast<double>(i * 7919 % 86400) / 86400.0; };
    for (const int batchRows : {1, 3, 8, 13, 64}) {
        SCOPED_TRACE(batchRows);
        std::string sentAsRead;
        for (const bool compact : {false, true}) {
            SCOPED_TRACE(compact ? "compact" : "as read");
            TableData table(columns);
            TableData batch(columns);
            if (compact) {
                table.keepValuesCompact();
                if (batchRows % 2 == 1)
                    batch.keepValuesCompact();
            }
            for (int32_t i = 0; i < 200; ++i) {
                const std::string text = std::string("v").append(std::to_string(i));
                const int32_t n = number(i);
                const double d = date(i);
                if (isNullRow(i)) {
                    ASSERT_TRUE(batch.putNull(0) && batch.putNull(1) && batch.putNull(2));
                } else {
                    ASSERT_TRUE(batch.putFixed(0, &n) && batch.putBytes(1, text.data(), text.size()) && batch.putFixed(2, &d));
                }
                batch.endRow();
                if (batch.rowCount() == batchRows || i == 199) {
                    ASSERT_TRUE(table.takeRows(batch));
                }
            }
            ASSERT_EQ(table.rowCount(), 200);
            for (int32_t i = 0; i < 200; ++i) {
                for (int c = 0; c < 3; ++c) {
                    ASSERT_EQ(table.isNull(i, c), isNullRow(i)) << i;
                }
                if (!isNullRow(i)) {
                    EXPECT_EQ(table.integerValue(i, 0), number(i));
                    EXPECT_EQ(table.bytesValue(i, 1), std::string("v").append(std::to_string(i)));
                    EXPECT_EQ(table.dateValue(i, 2), date(i)) << i;
                } else {
                    EXPECT_EQ(table.bytesValue(i, 1), "");
                }
            }
            EXPECT_EQ(table.column(0).form, ValueForm::AsRead);
            EXPECT_EQ(table.column(2).form, compact ? ValueForm::DateSeconds : ValueForm::AsRead);
            const std::string sent = SentRows(table);
            if (compact) {
                EXPECT_TRUE(sent == sentAsRead);
            } else {
                sentAsRead = sent;
            }
        }
    }
}

// Texts keep their place across the runs of rows their ends count from, whether a batch ends at
// a run's edge, inside one, or holds several runs; also in a text column whose values outgrow
// the short ends a text column starts with (as only a damaged file's can) and in a memo column.
TEST(TableDataTest, TextsPastTheRunsOfEndsKeepTheirPlace)
{
    constexpr int64_t kRows = 140000;
    const auto shortText = [](int64_t i) { return i % 5 == 0 ? std::string() : std::string("t").append(std::to_string(i * 7919)); };
    const auto outgrowing = [&](int64_t i) { return i == 70000 ? std::string(70000, 'x') : shortText(i); };
    const struct {
        const char* name;
        FieldType type;
        std::function<std::string(int64_t)> text;
    } columns[] = {{"text", FieldType::VarWChar, shortText},
                   {"text outgrowing short ends", FieldType::VarWChar, outgrowing},
                   {"memo", FieldType::LongVarWChar, outgrowing}};
    for (const auto& column : columns) {
        for (const int64_t batchRows : {int64_t{4096}, int64_t{65536}, int64_t{70001}, kRows}) {
            SCOPED_TRACE(std::string(column.name) + ", batches of " + std::to_string(batchRows));
            TableData table({{"T", column.type, 0, 0}});
            TableData batch({{"T", column.type, 0, 0}});
            for (int64_t i = 0; i < kRows; ++i) {
                const std::string value = column.text(i);
                ASSERT_TRUE(i % 11 == 0 ? batch.putNull(0) : batch.putBytes(0, value.data(), value.size()));
                batch.endRow();
                if (batch.rowCount() == batchRows || i == kRows - 1) {
                    ASSERT_TRUE(table.takeRows(batch));
                }
            }
            ASSERT_EQ(table.rowCount(), kRows);
            for (const int64_t i : {int64_t{0}, int64_t{1}, int64_t{63}, int64_t{64}, int64_t{65535}, int64_t{65536},
                                    int64_t{69999}, int64_t{70000}, int64_t{70001}, int64_t{131072}, kRows - 1}) {
                EXPECT_EQ(table.bytesValue(i, 0), i % 11 == 0 ? std::string() : column.text(i)) << i;
            }
        }
    }
}

}  // namespace
}  // namespace varnex
