#pragma once

namespace varnex::cli {

// How a command ended; the process ends by it once everything is tidied up.
enum class Ending { Completed, Failed, Interrupted, PipeClosed };

}  // namespace varnex::cli
