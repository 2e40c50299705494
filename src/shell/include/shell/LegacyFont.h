#pragma once
// The window's fonts are named after "MS Sans Serif"; where that family is not
// installed the closest sans-serif family stands in at the same size.

#include <QFont>

namespace varnex {

QFont legacyFont(qreal pointSize, bool bold);

}  // namespace varnex
