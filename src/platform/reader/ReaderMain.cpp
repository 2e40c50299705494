#include "platform/reader/ReaderMain.h"

#include "platform/data/ReaderProtocol.h"
#include "platform/reader/JetReader.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QString>

#include <cstdlib>
#include <cstring>
#include <new>

namespace varnex::reader {
namespace {

enum class TestFault { None, Stall, Crash };

class ProcessSink : public TableSink {
public:
    ProcessSink(int fd, TestFault fault) : fd_(fd), fault_(fault) {}

    bool columns(const std::vector<ColumnInfo>& columns, int64_t rowCountHint) override
    {
        if (!WriteColumns(fd_, columns, rowCountHint))
            return false;
        if (fault_ == TestFault::Stall) {
            for (;;)
                pause();
        }
        if (fault_ == TestFault::Crash)
            std::abort();
        return true;
    }
    bool rows(TableData& batch) override { return WriteRows(fd_, batch); }

private:
    int fd_;
    TestFault fault_;
};

void LimitMemory(const char* bytes)
{
#if defined(__SANITIZE_ADDRESS__)
    (void)bytes;  // the sanitizer's shadow memory needs far more address space than any bound
#else
    const rlim_t limit = std::strtoull(bytes, nullptr, 10);
    const rlimit bound{limit, limit};
    setrlimit(RLIMIT_AS, &bound);
#endif
}

}  // namespace

int RunReader(int argc, char** argv)
{
    // The protocol owns the original standard output; anything libmdb prints goes to standard error.
    const int out = dup(STDOUT_FILENO);
    dup2(STDERR_FILENO, STDOUT_FILENO);

    TestFault fault = TestFault::None;
    int arg = 1;
    for (; arg < argc && std::strncmp(argv[arg], "--", 2) == 0; ++arg) {
        if (std::strcmp(argv[arg], "--memory-limit") == 0 && arg + 1 < argc)
            LimitMemory(argv[++arg]);
        else if (std::strcmp(argv[arg], "--test-stall") == 0)
            fault = TestFault::Stall;
        else if (std::strcmp(argv[arg], "--test-crash") == 0)
            fault = TestFault::Crash;
    }
    if (arg >= argc)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[arg]);
    const bool wantsTable = arg + 1 < argc;

    try {
        auto reader = JetReader::open(path);
        if (!reader)
            return WriteError(out, reader.error()) ? 0 : 1;
        ProcessSink sink(out, fault);
        const Status status = wantsTable ? (*reader)->readTable(QString::fromUtf8(argv[arg + 1]), sink)
                                         : (*reader)->readCatalogue(sink);
        if (!status)
            return WriteError(out, status.error()) ? 0 : 1;
        return WriteDone(out) ? 0 : 1;
    } catch (const std::bad_alloc&) {
        WriteError(out, Error{7, QStringLiteral("Out of memory")});
        return 1;
    }
}

}  // namespace varnex::reader
