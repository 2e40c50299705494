#include "shell/MainLayout.h"

#include <algorithm>

namespace varnex {

namespace {
constexpr float kMinWidth = 300;
constexpr float kButtonsMinWidth = 7000;
constexpr float kMinHeight = 1500;
constexpr float kSideMargins = 300;
constexpr float kExportFromRight = 1700;
constexpr float kSettingsFromRight = 3000;
constexpr float kTopStripAndMargins = 1500;
}  // namespace

void applyResizeRule(MainLayout& layout, float outerWidth, float outerHeight, bool minimised)
{
    if (minimised)
        return;
    if (outerWidth > kMinWidth) {
        layout.grid.width = outerWidth - kSideMargins;
        layout.controlFrame.width = outerWidth - kSideMargins;
        if (outerWidth > kButtonsMinWidth) {
            layout.exportButton.left = outerWidth - kExportFromRight;
            layout.settingsButton.left = outerWidth - kSettingsFromRight;
        }
    }
    if (outerHeight > kMinHeight)
        layout.grid.height = outerHeight - kTopStripAndMargins;
}

GridAreaParts splitGridArea(const TwipsRect& area, bool findBarShown)
{
    const float height = std::max(area.height, 0.0f);
    const float status = std::min(kStatusLineTwips, height);
    const float findBar = findBarShown ? std::min(kFindBarTwips, height - status) : 0.0f;
    const float grid = height - status - findBar;
    GridAreaParts parts;
    parts.grid = {area.left, area.top, area.width, grid};
    parts.findBar = {area.left, area.top + grid, area.width, findBar};
    parts.statusLine = {area.left, area.top + grid + findBar, area.width, status};
    return parts;
}

}  // namespace varnex
