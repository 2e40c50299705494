#include "data/FieldTypes.h"
#include "data/TableData.h"

#include <gtest/gtest.h>

#include <cstring>

namespace varnex {
namespace {

// Rows appended in batches of awkward sizes keep each Null flag, value and text in place.
TEST(TableDataTest, BatchesOfAnySizeKeepEveryCell)
{
    const std::vector<ColumnInfo> columns = {{"N", fieldtype::Integer, 0, 0}, {"T", fieldtype::VarWChar, 0, 0}};
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

}  // namespace
}  // namespace varnex
