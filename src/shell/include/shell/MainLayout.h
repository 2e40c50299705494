#pragma once
// Geometry of the main window's controls in twips, and the rule that fits
// them to the window's outer size.

namespace varnex {

struct TwipsRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;

    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

struct MainLayout {
    // Relative to the window's client area.
    TwipsRect controlFrame{100, 0, 8000, 855};
    TwipsRect grid{100, 960, 8000, 4000};
    // Relative to the frame's client area.
    TwipsRect settingsButton{5300, 300, 1215, 375};
    TwipsRect exportButton{6600, 300, 1215, 375};
    TwipsRect tableList{1560, 330, 2295, 315};
    TwipsRect tableLabel{120, 360, 1455, 255};

    friend bool operator==(const MainLayout&, const MainLayout&) = default;
};

inline constexpr float kClientWidthTwips = 8175;
inline constexpr float kClientHeightTwips = 5100;

// Heights of the lines that share the grid's area with it.
inline constexpr float kStatusLineTwips = 270;
inline constexpr float kFindBarTwips = 390;

// The grid's area as the grid, the find bar and the status line share it.
struct GridAreaParts {
    TwipsRect grid;
    TwipsRect findBar;     // height 0 when the bar is hidden
    TwipsRect statusLine;

    friend bool operator==(const GridAreaParts&, const GridAreaParts&) = default;
};

// The status line along the bottom of the area, the find bar (when shown) above
// it and the grid above both, all as wide as the area. The grid gives up its
// height first; where the area is lower than the lines, the status line keeps
// what there is.
GridAreaParts splitGridArea(const TwipsRect& area, bool findBarShown);

// Fits the grid, the frame and the buttons to the window's outer width and
// height. Below a threshold the affected values keep what they were, and a
// minimised window changes nothing. Arithmetic stays in single precision.
void applyResizeRule(MainLayout& layout, float outerWidth, float outerHeight, bool minimised);

}  // namespace varnex
