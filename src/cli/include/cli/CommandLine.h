#pragma once

#include <optional>

namespace varnex::cli {

// Runs the command line when the first argument is one of its commands, --help,
// -h or --version, without a display, a settings file or the single-instance
// guard, and returns the exit status. A start of the window that cannot be (a
// first word that is neither a command nor an existing file, no display) is a
// usage error with status 2. Nothing for a start of the window, with or without
// a file to open.
std::optional<int> runCommandLine(int argc, char** argv);

}  // namespace varnex::cli
