#include "export/FieldCategory.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace varnex {
namespace {

TEST(FieldCategory, MapsEveryTypeCodeToItsCategory)
{
    const std::vector<std::pair<int16_t, int>> table = {
        {2, 1},   {3, 1},   {4, 1},   {5, 1},   {6, 1},   {14, 1},  {16, 1},  {17, 1},  {18, 1},
        {19, 1},  {20, 1},  {21, 1},  {72, 1},  {128, 1}, {131, 1}, {204, 1}, {205, 1},
        {8, 2},   {129, 2}, {130, 2}, {200, 2}, {201, 2}, {202, 2}, {203, 2},
        {7, 3},   {133, 3}, {134, 3}, {135, 3},
        {11, 4},
        // Everything else, neighbours of the known codes included.
        {0, -1},  {1, -1},  {9, -1},  {10, -1}, {12, -1}, {13, -1}, {15, -1}, {64, -1}, {132, -1},
        {136, -1}, {206, -1}, {-1, -1}, {-32768, -1}, {32767, -1},
    };
    for (const auto& [type, category] : table)
        EXPECT_EQ(static_cast<int>(fieldCategory(type)), category) << "type " << type;
}

}  // namespace
}  // namespace varnex
