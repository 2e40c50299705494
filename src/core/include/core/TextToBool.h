#pragma once
// Text-to-Boolean conversion as settings files hold Booleans.

#include "core/Error.h"

#include <QString>

namespace varnex {

// "True"/"False" in any case, or a number (zero is False); anything else, the empty text
// included, is a type mismatch.
Result<bool> textToBool(const QString& text);

}  // namespace varnex
