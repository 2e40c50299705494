#pragma once

#include <QIcon>

namespace varnex {

// The settings window's own icon: a small form with a ticked box and two
// fields, as a 32 x 32 image in the 16 standard colours, with a monochrome
// image for the disabled state.
QIcon settingsIcon();

}  // namespace varnex
