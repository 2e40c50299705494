#pragma once
// The runtime's error numbers with their standard descriptions.

#include "platform/Error.h"

#include <QString>

namespace varnex {

// The runtime's text for number ("Application-defined or object-defined error" if unknown).
QString ErrorDescription(int number);
Error RuntimeError(int number);
// The error for a failed file operation with the C library's errno value.
Error FileError(int errnoValue);

}  // namespace varnex
