// A reader process that fails on purpose once it has sent a table's columns, for
// tests of the watch kept on the reader: the real reader's arguments with one of
// these among its options:
//   --stall           sends nothing more
//   --stall-in-batch  sends the start of a batch of rows, then nothing more
//   --overlong-batch  sends one row of two text columns, each of 600,000 bytes, under a
//                     header that announces 64 bytes, then says it is done
//   --crash           aborts
//   --pause-after-first-batch FIFO
//                     sends the first batch of rows, then waits until the named pipe FIFO is
//                     opened for writing (by the test, once it has seen that batch) and goes on

#include "store/ReaderProtocol.h"
#include "reader/ReaderMain.h"

#include <fcntl.h>
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

// One row for a table of two text columns whose bytes run far past the announced length.
void sendOverlongBatch(int protocol)
{
    using namespace varnex::reader;
    constexpr uint64_t kBytes = 600000;
    const MessageHeader header{static_cast<uint32_t>(MessageKind::Rows), 1, 64};
    writeAll(protocol, &header, sizeof header);
    const std::vector<char> bytes(kBytes, 'x');
    for (int column = 0; column < 2; ++column) {
        const uint8_t notNull = 0;
        writeAll(protocol, &notNull, sizeof notNull);
        const auto end = static_cast<uint32_t>(kBytes);
        writeAll(protocol, &end, sizeof end);        // the row's end
        writeAll(protocol, &kBytes, sizeof kBytes);  // the column's byte count
        writeAll(protocol, bytes.data(), bytes.size());
    }
    writeDone(protocol);
}

}  // namespace

int main(int argc, char** argv)
{
    bool stall = false;
    bool inBatch = false;
    bool overlong = false;
    bool crash = false;
    const char* pauseUntil = nullptr;
    std::vector<char*> passed;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pause-after-first-batch") == 0 && i + 1 < argc)
            pauseUntil = argv[++i];
        else if (std::strcmp(argv[i], "--stall") == 0)
            stall = true;
        else if (std::strcmp(argv[i], "--stall-in-batch") == 0)
            stall = inBatch = true;
        else if (std::strcmp(argv[i], "--overlong-batch") == 0)
            overlong = true;
        else if (std::strcmp(argv[i], "--crash") == 0)
            crash = true;
        else
            passed.push_back(argv[i]);
    }
    passed.push_back(nullptr);
    const int protocol = dup(STDOUT_FILENO);  // the reader moves its standard output aside
    return varnex::reader::runReader(static_cast<int>(passed.size()) - 1, passed.data(), [stall, inBatch, overlong, crash, protocol] {
        if (crash)
            std::abort();
        if (overlong) {
            sendOverlongBatch(protocol);
            std::_Exit(0);
        }
        if (inBatch)
            sendPartOfABatch(protocol);
        while (stall)
            pause();
    }, [pauseUntil, batches = 0]() mutable {
        // Opening the pipe for reading blocks until the test opens it for writing.
        if (pauseUntil && ++batches == 1) {
            const int released = open(pauseUntil, O_RDONLY);
            if (released >= 0)
                close(released);
        }
    });
}
