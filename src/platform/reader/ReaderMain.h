#pragma once
// The reader process: varnex-reader [options] FILE [TABLE]
// Without TABLE it sends the table list, with TABLE that table's rows, as
// reader protocol messages on its standard output.
//   --memory-limit BYTES   the process's address-space bound
//   --test-stall, --test-crash   after the columns, hang or crash (tests of the watchdog)

namespace varnex::reader {

int RunReader(int argc, char** argv);

}  // namespace varnex::reader
