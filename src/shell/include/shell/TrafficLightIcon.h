#pragma once
// The main window's icon: a traffic light with its red, amber and green lamps,
// the green one lit, drawn in the 16 standard colours at 32 and 16 pixels.

#include <QIcon>
#include <QImage>

namespace varnex {

QImage trafficLightImage(int size);
QIcon trafficLightIcon();

}  // namespace varnex
