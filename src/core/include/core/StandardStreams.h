#pragma once

namespace varnex {

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed, before anything else
// opens a file: otherwise the next file opened (a library's pipe or event descriptor) takes
// that number, and output meant for the closed stream lands in it. Standard output is opened
// for reading only, so that writing to it still fails (EBADF) and a command can say so
// instead of reporting success; standard error is opened for writing and swallows messages.
void openClosedStandardStreams();

}  // namespace varnex
