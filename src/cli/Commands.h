#pragma once
// The commands, each reporting its failures on standard error as they happen.

#include "Ending.h"

namespace varnex::cli {

struct Invocation;

// varnex tables FILE [--all]
Ending listTables(const Invocation& invocation);
// varnex export FILE TABLE [-o OUT]
Ending exportTable(const Invocation& invocation);
// varnex export-all FILE DIR
Ending exportAllTables(const Invocation& invocation);
// varnex convert FILE OUT
Ending convertDatabase(const Invocation& invocation);
// varnex schema FILE
Ending printSchema(const Invocation& invocation);

}  // namespace varnex::cli
