#pragma once
// The reader process: varnex-reader [--memory-limit BYTES] [--password-on-stdin] FILE [TABLE]
// Without TABLE it sends the table list, with TABLE that table's rows, as
// reader protocol messages on its standard output. --memory-limit bounds the
// process's address space; --password-on-stdin reads the database password of
// an encrypted .accdb from standard input (to its end).
//   varnex-reader [...] --schema FILE                  the schema's rows (store/SchemaRows.h)
//   varnex-reader [...] --complex-values FILE TABLE COLUMN
//                                                      the values of a complex column, a row each

#include <functional>

namespace varnex::reader {

// afterColumns runs once the columns have been sent (a test reader hangs or crashes there),
// afterRows after each batch of rows (a test reader pauses there).
int runReader(int argc, char** argv, const std::function<void()>& afterColumns = {},
              const std::function<void()>& afterRows = {});

}  // namespace varnex::reader
