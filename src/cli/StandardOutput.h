#pragma once

#include "Ending.h"

#include <QString>

namespace varnex::cli {

// Writes text to standard output as UTF-8; a failure other than a closed pipe
// is reported against the database (if any).
Ending writeStandardOutput(const QString& text, const QString& database);

}  // namespace varnex::cli
