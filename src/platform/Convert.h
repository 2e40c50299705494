#pragma once
// Text-to-Boolean conversion as the runtime does it.

#include "platform/Error.h"

#include <QString>

#include <cstdint>

namespace varnex {

inline constexpr int16_t vbTrue = -1;
inline constexpr int16_t vbFalse = 0;

// "True"/"False" in any case, or a number (zero is False); anything else, the empty text
// included, is error 13 (type mismatch).
Result<bool> CBool(const QString& text);

}  // namespace varnex
