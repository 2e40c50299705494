// A reader process that fails on purpose once it has sent a table's columns, for
// tests of the watch kept on the reader: the real reader's arguments with
// --stall or --crash among its options.

#include "reader/ReaderMain.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

int main(int argc, char** argv)
{
    bool stall = false;
    bool crash = false;
    std::vector<char*> passed;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--stall") == 0)
            stall = true;
        else if (std::strcmp(argv[i], "--crash") == 0)
            crash = true;
        else
            passed.push_back(argv[i]);
    }
    passed.push_back(nullptr);
    return varnex::reader::runReader(static_cast<int>(passed.size()) - 1, passed.data(), [stall, crash] {
        if (crash)
            std::abort();
        while (stall)
            pause();
    });
}
