#pragma once

#include <optional>

namespace varnex::cli {

// Runs the command line when the first argument is one of its commands, --help,
// -h or --version, without a display, a settings file or the single-instance
// guard, and returns the exit status; nothing for any other start (the window,
// with or without a file to open).
std::optional<int> runCommandLine(int argc, char** argv);

}  // namespace varnex::cli
