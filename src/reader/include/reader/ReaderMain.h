#pragma once
// The reader process: varnex-reader [--memory-limit BYTES] FILE [TABLE]
// Without TABLE it sends the table list, with TABLE that table's rows, as
// reader protocol messages on its standard output. --memory-limit bounds the
// process's address space.

#include <functional>

namespace varnex::reader {

// afterColumns runs once the columns have been sent (a test reader hangs or crashes there).
int runReader(int argc, char** argv, const std::function<void()>& afterColumns = {});

}  // namespace varnex::reader
