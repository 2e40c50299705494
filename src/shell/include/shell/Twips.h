#pragma once
// Window geometry is kept in twips (1/1440 inch) and converted to the
// device-independent pixels Qt lays widgets out in, at the screen's logical
// resolution: 15 twips a pixel at 96 dpi.

class QWidget;

namespace varnex {

// Twips per pixel for the screen the widget is on (the primary screen if none).
float screenTwipsPerPixel(const QWidget* widget);

int twipsToPixels(float twips, float twipsPerPixel);
float pixelsToTwips(int pixels, float twipsPerPixel);

}  // namespace varnex
