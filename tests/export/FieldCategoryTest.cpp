#include "export/FieldCategory.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace varnex {
namespace {

TEST(FieldCategory, MapsEveryTypeCodeToItsCategory)
{
    using enum FieldType;
    const std::vector<std::pair<FieldType, FieldCategory>> table = {
        {SmallInt, FieldCategory::Numeric}, {Integer, FieldCategory::Numeric}, {Single, FieldCategory::Numeric},
        {Double, FieldCategory::Numeric}, {Currency, FieldCategory::Numeric}, {Decimal, FieldCategory::Numeric},
        {TinyInt, FieldCategory::Numeric}, {UnsignedTinyInt, FieldCategory::Numeric},
        {UnsignedSmallInt, FieldCategory::Numeric}, {UnsignedInt, FieldCategory::Numeric}, {BigInt, FieldCategory::Numeric},
        {UnsignedBigInt, FieldCategory::Numeric}, {GUID, FieldCategory::Numeric}, {Binary, FieldCategory::Numeric},
        {Numeric, FieldCategory::Numeric}, {VarBinary, FieldCategory::Numeric}, {LongVarBinary, FieldCategory::Numeric},
        {BSTR, FieldCategory::Text}, {Char, FieldCategory::Text}, {WChar, FieldCategory::Text}, {VarChar, FieldCategory::Text},
        {LongVarChar, FieldCategory::Text}, {VarWChar, FieldCategory::Text}, {LongVarWChar, FieldCategory::Text},
        {Date, FieldCategory::DateTime}, {DBDate, FieldCategory::DateTime}, {DBTime, FieldCategory::DateTime},
        {DBTimeStamp, FieldCategory::DateTime},
        {Boolean, FieldCategory::Boolean},
        {Unsupported, FieldCategory::Other},
    };
    for (const auto& [type, category] : table)
        EXPECT_EQ(fieldCategory(type), category) << "type " << static_cast<int>(type);
    // Codes no name stands for, neighbours of the known ones included, as they may come from a file.
    for (const int code : {1, 9, 10, 12, 13, 15, 64, 132, 136, 206, -1, -32768, 32767})
        EXPECT_EQ(fieldCategory(static_cast<FieldType>(code)), FieldCategory::Other) << "type " << code;
}

}  // namespace
}  // namespace varnex
