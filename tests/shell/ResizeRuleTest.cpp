#include "shell/MainLayout.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

struct ResizeCase {
    const char* name;
    float width;
    float height;
    bool minimised;
    float gridWidth;
    float gridHeight;
    float frameWidth;
    float exportLeft;
    float settingsLeft;
};

// Starting from the layout as created; values below a threshold keep what they were.
TEST(ResizeRule, FollowsOuterSizeWithStrictThresholds)
{
    const ResizeCase cases[] = {
        {"width 300 changes nothing", 300, 1000, false, 8000, 4000, 8000, 6600, 5300},
        {"width 301 leaves one twip", 301, 1000, false, 1, 4000, 1, 6600, 5300},
        {"width 7000 leaves buttons", 7000, 1000, false, 6700, 4000, 6700, 6600, 5300},
        {"width 7001 moves buttons", 7001, 1000, false, 6701, 4000, 6701, 5301, 4001},
        {"height 1500 changes nothing", 9000, 1500, false, 8700, 4000, 8700, 7300, 6000},
        {"height 1501 leaves one twip", 9000, 1501, false, 8700, 1, 8700, 7300, 6000},
        {"minimised changes nothing", 12000, 9000, true, 8000, 4000, 8000, 6600, 5300},
        {"maximised size", 28830, 16320, false, 28530, 14820, 28530, 27130, 25830},
    };
    for (const ResizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        MainLayout layout;
        applyResizeRule(layout, c.width, c.height, c.minimised);
        EXPECT_EQ(layout.grid.width, c.gridWidth);
        EXPECT_EQ(layout.grid.height, c.gridHeight);
        EXPECT_EQ(layout.controlFrame.width, c.frameWidth);
        EXPECT_EQ(layout.exportButton.left, c.exportLeft);
        EXPECT_EQ(layout.settingsButton.left, c.settingsLeft);
        // Nothing else moves.
        EXPECT_EQ(layout.grid.left, 100);
        EXPECT_EQ(layout.grid.top, 960);
        EXPECT_EQ(layout.controlFrame.height, 855);
        EXPECT_EQ(layout.exportButton.top, 300);
        EXPECT_EQ(layout.settingsButton.width, 1215);
        EXPECT_EQ(layout.tableList, (TwipsRect{1560, 330, 2295, 315}));
        EXPECT_EQ(layout.tableLabel, (TwipsRect{120, 360, 1455, 255}));
    }
}

TEST(ResizeRule, ShrinkingBelowThresholdsKeepsLargerSizes)
{
    MainLayout layout;
    applyResizeRule(layout, 15000, 9000, false);
    applyResizeRule(layout, 250, 1200, false);
    EXPECT_EQ(layout.grid.width, 14700);
    EXPECT_EQ(layout.grid.height, 7500);
    EXPECT_EQ(layout.exportButton.left, 13300);
    applyResizeRule(layout, 5000, 1200, false);
    EXPECT_EQ(layout.grid.width, 4700);
    EXPECT_EQ(layout.exportButton.left, 13300);  // buttons stay where the last wide size put them
}

// The grid gives the status line and the find bar their height, never the other way round.
TEST(ResizeRule, GridAreaIsSharedWithTheStatusLineAndFindBar)
{
    const struct {
        const char* name;
        float height;
        bool findBar;
        float grid;
        float find;
        float status;
    } cases[] = {
        {"as created", 4000, false, 3730, 0, 270},
        {"as created, find bar shown", 4000, true, 3340, 390, 270},
        {"only room for the lines", 660, true, 0, 390, 270},
        {"less than both lines", 500, true, 0, 230, 270},
        {"less than the status line", 100, true, 0, 0, 100},
        {"one twip", 1, false, 0, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TwipsRect area{100, 960, 8000, c.height};
        const GridAreaParts parts = splitGridArea(area, c.findBar);
        EXPECT_EQ(parts.grid, (TwipsRect{100, 960, 8000, c.grid}));
        EXPECT_EQ(parts.findBar, (TwipsRect{100, 960 + c.grid, 8000, c.find}));
        EXPECT_EQ(parts.statusLine, (TwipsRect{100, 960 + c.grid + c.find, 8000, c.status}));
    }
}

}  // namespace
}  // namespace varnex
