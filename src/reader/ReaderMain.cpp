#include "reader/ReaderMain.h"

#include "core/ByteText.h"
#include "store/ReaderProtocol.h"
#include "reader/JetReader.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

// AddressSanitizer is built in: g++ tells by a macro, clang by a feature test.
#if defined(__SANITIZE_ADDRESS__)
#define VARNEX_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VARNEX_ADDRESS_SANITIZER 1
#endif
#endif

namespace varnex::reader {
namespace {

class ProcessSink : public TableSink {
public:
    ProcessSink(int fd, const std::function<void()>& afterColumns, const std::function<void()>& afterRows)
        : fd_(fd), afterColumns_(afterColumns), afterRows_(afterRows)
    {
    }

    bool columns(const std::vector<ColumnInfo>& columns, int64_t rowCountHint) override
    {
        if (!writeColumns(fd_, columns, rowCountHint))
            return false;
        if (afterColumns_)
            afterColumns_();
        return true;
    }
    bool rows(TableData& batch) override
    {
        if (!writeRows(fd_, batch))
            return false;
        if (afterRows_)
            afterRows_();
        return true;
    }
    void warning(const ReadWarning& warning) override { writeWarning(fd_, warning); }

private:
    int fd_;
    const std::function<void()>& afterColumns_;
    const std::function<void()>& afterRows_;
};

void limitMemory(const char* bytes)
{
#if defined(VARNEX_ADDRESS_SANITIZER)
    (void)bytes;  // the sanitizer's shadow memory needs far more address space than any bound
#else
    const rlim_t limit = std::strtoull(bytes, nullptr, 10);
    const rlimit bound{limit, limit};
    setrlimit(RLIMIT_AS, &bound);
#endif
}

// The database password, sent by the program on standard input so that it never shows among the arguments.
QString passwordFromInput()
{
    constexpr size_t kMostBytes = 64 * 1024;
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || bytes.size() >= kMostBytes)
            break;
        bytes.append(buffer, static_cast<size_t>(got));
    }
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(std::min(bytes.size(), kMostBytes)));
}

enum class Request { TableOrList, Schema, ComplexValues };

}  // namespace

int runReader(int argc, char** argv, const std::function<void()>& afterColumns, const std::function<void()>& afterRows)
{
    // The protocol owns the original standard output; anything libmdb prints goes to standard error.
    const int out = dup(STDOUT_FILENO);
    dup2(STDERR_FILENO, STDOUT_FILENO);

    int arg = 1;
    QString password;
    Request request = Request::TableOrList;
    for (; arg < argc && std::strncmp(argv[arg], "--", 2) == 0; ++arg) {
        if (std::strcmp(argv[arg], "--memory-limit") == 0 && arg + 1 < argc)
            limitMemory(argv[++arg]);
        else if (std::strcmp(argv[arg], "--password-on-stdin") == 0)
            password = passwordFromInput();
        else if (std::strcmp(argv[arg], "--schema") == 0)
            request = Request::Schema;
        else if (std::strcmp(argv[arg], "--complex-values") == 0)
            request = Request::ComplexValues;
    }
    const int operands = argc - arg;
    if (operands < 1 || (request == Request::ComplexValues && operands != 3))
        return 2;
    const QString path = bytesToText(argv[arg]);
    const QString table = operands > 1 ? QString::fromUtf8(argv[arg + 1]) : QString();

    try {
        auto reader = JetReader::open(path, password, [out] { writeWorking(out); });
        if (!reader)
            return writeError(out, reader.error()) ? 0 : 1;
        ProcessSink sink(out, afterColumns, afterRows);
        Status status;
        if (request == Request::Schema)
            status = (*reader)->readSchema(sink);
        else if (request == Request::ComplexValues)
            status = (*reader)->readComplexValues(table, QString::fromUtf8(argv[arg + 2]), sink);
        else
            status = operands > 1 ? (*reader)->readTable(table, sink) : (*reader)->readCatalogue(sink);
        if (!status)
            return writeError(out, status.error()) ? 0 : 1;
        return writeDone(out) ? 0 : 1;
    } catch (const std::bad_alloc&) {
        writeError(out, makeError(ErrorCode::OutOfMemory));
        return 1;
    }
}

}  // namespace varnex::reader
