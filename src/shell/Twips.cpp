#include "shell/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace varnex {

namespace {
constexpr float kTwipsPerInch = 1440.0f;
constexpr float kFallbackDpi = 96.0f;
}  // namespace

float screenTwipsPerPixel(const QWidget* widget)
{
    const QScreen* screen = widget != nullptr ? widget->screen() : QGuiApplication::primaryScreen();
    const float dpi = screen != nullptr ? static_cast<float>(screen->logicalDotsPerInchX()) : kFallbackDpi;
    return kTwipsPerInch / (dpi > 0.0f ? dpi : kFallbackDpi);
}

int twipsToPixels(float twips, float twipsPerPixel)
{
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

float pixelsToTwips(int pixels, float twipsPerPixel)
{
    return static_cast<float>(pixels) * twipsPerPixel;
}

}  // namespace varnex
