#pragma once

#include "Ending.h"

#include <QString>

namespace varnex::cli {

class DescriptorSink;

// Writes text to standard output (core/ByteText.h: as UTF-8, file names with their bytes).
Ending writeStandardOutput(const QString& text);

// How a command ends after the sink on standard output failed: quietly for a closed pipe,
// otherwise with "varnex: standard output: <cause>".
Ending standardOutputFailed(const DescriptorSink& sink, const QString& description);

}  // namespace varnex::cli
