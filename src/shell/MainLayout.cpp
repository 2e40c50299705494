#include "shell/MainLayout.h"

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

}  // namespace varnex
