#include "store/FieldTypes.h"
#include "store/TableData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace varnex {
namespace {

// Rows appended in batches of awkward sizes keep each Null flag, value and text in place.
TEST(TableDataTest, BatchesOfAnySizeKeepEveryCell)
{
    const std::vector<ColumnInfo> columns = {{"N", FieldType::Integer, 0, 0}, {"T", FieldType::VarWChar, 0, 0}};
    const auto isNullRow = [](int32_t i) { return i % 3 == 0 || i % 7 == 0; };
    for (const int batchRows : {1, 3, 8, 13, 64}) {
        SCOPED_TRACE(batchRows);
        TableData table(columns);
        TableData batch(columns);
        for (int32_t i = 0; i < 200; ++i) {
            const std::string text = std::string("v").append(std::to_string(i));
            if (isNullRow(i)) {
                ASSERT_TRUE(batch.putNull(0) && batch.putNull(1));
            } else {
                ASSERT_TRUE(batch.putFixed(0, &i) && batch.putBytes(1, text.data(), text.size()));
            }
            batch.endRow();
            if (batch.rowCount() == batchRows || i == 199) {
                ASSERT_TRUE(table.takeRows(batch));
            }
        }
        ASSERT_EQ(table.rowCount(), 200);
        for (int32_t i = 0; i < 200; ++i) {
            ASSERT_EQ(table.isNull(i, 0), isNullRow(i)) << i;
            ASSERT_EQ(table.isNull(i, 1), isNullRow(i)) << i;
            if (!isNullRow(i)) {
                int32_t n = 0;
                std::memcpy(&n, table.fixedValue(i, 0), sizeof n);
                EXPECT_EQ(n, i);
                EXPECT_EQ(table.bytesValue(i, 1), std::string("v").append(std::to_string(i)));
            } else {
                EXPECT_EQ(table.bytesValue(i, 1), "");
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
