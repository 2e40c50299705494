#pragma once
// Ctrl+C, a hang-up or a request to end are noted instead of ending the process
// at once, so that an export can take its temporary file away first; writing to
// a closed pipe fails with EPIPE instead of ending the process.

namespace varnex::cli {

void catchInterruptions();
bool interrupted();

// Waits until fd has something to read (or its end), or an interruption is noted, and tells
// which: false for the interruption. An interruption that comes just before the wait ends it
// too, which a plain blocking read would miss.
bool waitForInput(int fd);

// Ends the process as the noted signal would have ended it.
[[noreturn]] void endAsInterrupted();
// Ends the process as writing to a closed pipe ends it.
[[noreturn]] void endAsClosedPipe();

}  // namespace varnex::cli
