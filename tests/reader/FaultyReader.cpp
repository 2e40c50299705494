// A reader process that fails on purpose once it has sent a table's columns, for
// tests of the watch kept on the reader: the real reader's arguments with one of
// these among its options:
//   --stall           sends nothing more
//   --stall-in-batch  sends the start of a batch of rows, then nothing more
//   --crash           aborts

#include "data/ReaderProtocol.h"
#include "reader/ReaderMain.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The header of a batch and a few of the bytes it announces.
void sendPartOfABatch(int protocol)
{
    const varnex::reader::MessageHeader header{static_cast<uint32_t>(varnex::reader::MessageKind::Rows), 100, 4096};
    const char start[16] = {};
    varnex::reader::writeAll(protocol, &header, sizeof header);
    varnex::reader::writeAll(protocol, start, sizeof start);
}

}  // namespace

int main(int argc, char** argv)
{
    bool stall = false;
    bool inBatch = false;
    bool crash = false;
    std::vector<char*> passed;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--stall") == 0)
            stall = true;
        else if (std::strcmp(argv[i], "--stall-in-batch") == 0)
            stall = inBatch = true;
        else if (std::strcmp(argv[i], "--crash") == 0)
            crash = true;
        else
            passed.push_back(argv[i]);
    }
    passed.push_back(nullptr);
    const int protocol = dup(STDOUT_FILENO);  // the reader moves its standard output aside
    return varnex::reader::runReader(static_cast<int>(passed.size()) - 1, passed.data(), [stall, inBatch, crash, protocol] {
        if (crash)
            std::abort();
        if (inBatch)
            sendPartOfABatch(protocol);
        while (stall)
            pause();
    });
}
