#include "data/ReaderProcess.h"

#include "core/ByteText.h"
#include "core/Error.h"
#include "store/ReaderProtocol.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iterator>
#include <memory>
#include <mutex>
#include <vector>

extern char** environ;

namespace varnex {
namespace {

ReaderOptions& options()
{
    static ReaderOptions current;
    return current;
}

constexpr uint64_t kMemoryBase = 64ull << 20;
constexpr uint64_t kMemoryPerFileByte = 16;

QString readerProgram()
{
    if (!options().program.isEmpty())
        return options().program;
    // VARNEX_READER_PATH: relative to the executable's folder, as the build placed it.
    const QString folder = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
    return QDir::cleanPath(folder + QStringLiteral("/" VARNEX_READER_PATH));
}

enum class Failure { None, Stalled, Ended, TooLarge, Garbled, Cancelled };

// Room in the pipe for a batch or two, so that the reader decodes the next rows while the last
// ones are put to use (where the system allows a pipe that large; it is only a hint).
constexpr int kPipeBytes = 1 << 20;

// The running reader: ended and reaped whatever way the read ends.
class Child {
public:
    ~Child() { stop(); }

    // input: what the reader's standard input reads (-1: nothing).
    bool start(const QString& program, const QStringList& arguments, int input, int& readEnd)
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return false;
        fcntl(fds[0], F_SETPIPE_SZ, kPipeBytes);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (input >= 0)
            posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
        else
            posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        std::vector<QByteArray> storage;
        storage.push_back(QFile::encodeName(program));
        for (const QString& argument : arguments)
            storage.push_back(textToBytes(argument));
        std::vector<char*> argv;
        for (QByteArray& a : storage)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const int rc = posix_spawn(&pid_, storage[0].constData(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (rc != 0) {
            close(fds[0]);
            pid_ = -1;
            return false;
        }
        readEnd = fds[0];
        return true;
    }

    // Also for a reader that has said it is done: one that then lingered would hold the caller.
    void stop()
    {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGKILL);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }

    // How a reader that closed its output ended: it is given a moment to, then ended. For messages.
    QString howItEnded()
    {
        if (pid_ <= 0)
            return QStringLiteral("ended unexpectedly");
        int status = 0;
        pid_t ended = 0;
        for (int tries = 0; tries < kEndWaitSteps && ended == 0; ++tries) {
            ended = waitpid(pid_, &status, WNOHANG);
            if (ended == 0)
                usleep(kEndWaitStepMicroseconds);
        }
        if (ended != pid_) {
            stop();
            return QStringLiteral("closed its output unexpectedly");
        }
        pid_ = -1;
        if (WIFSIGNALED(status))
            return QStringLiteral("ended with signal %1 (%2)").arg(WTERMSIG(status)).arg(QString::fromLocal8Bit(strsignal(WTERMSIG(status))));
        if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
            return QStringLiteral("ended with exit status %1").arg(WEXITSTATUS(status));
        return QStringLiteral("ended before it had finished");
    }

private:
    static constexpr int kEndWaitSteps = 50;
    static constexpr useconds_t kEndWaitStepMicroseconds = 2000;  // 100 ms in all

    pid_t pid_ = -1;
};

using Clock = std::chrono::steady_clock;

// The window's thread gets control back at least this often while a read waits.
constexpr std::chrono::milliseconds kSlice{40};

// The pipe from the reader. Reads wait in short slices and call the tick between them, so
// the caller can repaint and cancel while the reader is slow or silent; a reader silent for
// the stall timeout is given up.
class Channel {
public:
    // tick: called about every slice while reading; false cancels the read. May be empty.
    Channel(int fd, uint64_t bound, std::function<bool()> tick)
        : fd_(fd), bound_(bound), tick_(std::move(tick)), lastData_(Clock::now()), lastTick_(lastData_)
    {
        fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
    }
    ~Channel() { close(fd_); }

    Failure failure() const { return failure_; }

    bool read(void* into, size_t n)
    {
        auto* at = static_cast<char*>(into);
        while (n > 0) {
            if (!tickWhenDue())
                return fail(Failure::Cancelled);
            // What the pipe holds is taken at once; only an empty pipe is waited on.
            const ssize_t got = ::read(fd_, at, n);
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                const auto silent = Clock::now() - lastData_;
                if (silent >= options().stallTimeout)
                    return fail(Failure::Stalled);
                const auto wait = std::min<Clock::duration>(kSlice, options().stallTimeout - silent);
                pollfd watch{fd_, POLLIN, 0};
                poll(&watch, 1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
                continue;  // data, a slice without it, or a signal
            }
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return fail(Failure::Ended);
            lastData_ = Clock::now();
            at += got;
            n -= static_cast<size_t>(got);
        }
        return true;
    }

    // Whether a table of this many bytes stays within the bound.
    bool within(uint64_t tableBytes, uint64_t more)
    {
        return (more <= bound_ && tableBytes <= bound_ - more) || fail(Failure::TooLarge);
    }
    bool fail(Failure failure)
    {
        failure_ = failure;
        return false;
    }

private:
    bool tickWhenDue()
    {
        if (!tick_ || Clock::now() - lastTick_ < kSlice)
            return true;
        lastTick_ = Clock::now();
        return tick_();
    }

    int fd_;
    uint64_t bound_;
    std::function<bool()> tick_;
    Clock::time_point lastData_;
    Clock::time_point lastTick_;
    Failure failure_ = Failure::None;
};

// The bytes of one batch of rows, which may not run past the length its header announced:
// the bound checked against that length before the batch holds for all of it.
class BatchReader {
public:
    BatchReader(Channel& channel, uint64_t length) : channel_(channel), left_(length) {}

    bool read(void* into, size_t n) { return claim(n) && channel_.read(into, n); }

    // Reads n bytes onto the end of buffer; returns where they went, or nullptr on failure.
    uint8_t* readOnto(GrowBuffer& buffer, size_t n)
    {
        if (!claim(n))
            return nullptr;
        uint8_t* at = buffer.extendForRead(n);
        if (!at) {
            channel_.fail(Failure::TooLarge);
            return nullptr;
        }
        return channel_.read(at, n) ? at : nullptr;
    }

    bool complete() { return left_ == 0 || channel_.fail(Failure::Garbled); }

private:
    bool claim(uint64_t n)
    {
        if (n > left_)
            return channel_.fail(Failure::Garbled);
        left_ -= n;
        return true;
    }

    Channel& channel_;
    uint64_t left_;
};

// A column's values, sent as they were read, onto a column that keeps them in a form of its own
// (see TableData.h), a slice at a time; its Null flags for the batch are in already.
bool receiveInForm(BatchReader& batch, Channel& channel, size_t rows, ColumnData& column)
{
    const auto width = static_cast<size_t>(fixedWidth(column.info.type));
    uint8_t values[8192];
    const int64_t first = column.count - static_cast<int64_t>(rows);
    for (size_t done = 0; done < rows;) {
        const size_t n = std::min(rows - done, sizeof values / width);
        if (!batch.read(values, n * width))
            return false;
        if (!appendFixedValues(column, first + static_cast<int64_t>(done), values, n))
            return channel.fail(Failure::TooLarge);
        done += n;
    }
    return true;
}

// Reads one batch straight into the end of the table's columns.
bool receiveRows(Channel& channel, const reader::MessageHeader& header, TableData& table)
{
    const size_t rows = header.rows;
    if (!channel.within(table.byteSize(), header.length))
        return false;
    if (rows > header.length)  // every row takes at least a byte
        return channel.fail(Failure::Garbled);
    BatchReader batch(channel, header.length);
    for (int c = 0; c < table.columnCount(); ++c) {
        ColumnData& column = table.column(c);
        const size_t nullBytes = (rows + 7) / 8;
        std::vector<uint8_t> nulls(nullBytes);
        if (!batch.read(nulls.data(), nullBytes))
            return false;
        if (!table.appendNullBits(c, nulls.data(), static_cast<int64_t>(rows)))
            return channel.fail(Failure::TooLarge);
        if (column.form != ValueForm::AsRead) {
            if (!receiveInForm(batch, channel, rows, column))
                return false;
            continue;
        }
        if (!isVariableLength(column.info.type)) {
            if (!batch.readOnto(column.values, rows * static_cast<size_t>(fixedWidth(column.info.type))))
                return false;
            continue;
        }
        // Ends come counted from the batch's first byte and are stored counted from their run's;
        // they are taken a slice at a time, as a damaged count may claim any number.
        const uint64_t base = column.bytes.size();
        uint64_t previous = 0;
        uint32_t ends[1024];
        for (size_t done = 0; done < rows;) {
            const size_t n = std::min(rows - done, std::size(ends));
            if (!batch.read(ends, n * sizeof(uint32_t)))
                return false;
            for (size_t i = 0; i < n; ++i, ++done) {
                if (ends[i] < previous)
                    return channel.fail(Failure::Garbled);
                if (!appendValueEnd(column, table.rowCount() + static_cast<int64_t>(done), base + previous, base + ends[i]))
                    return channel.fail(Failure::TooLarge);
                previous = ends[i];
            }
        }
        uint64_t byteCount = 0;
        if (!batch.read(&byteCount, sizeof byteCount))
            return false;
        if (previous > byteCount)  // the ends rise, so none lies past the bytes
            return channel.fail(Failure::Garbled);
        if (!batch.readOnto(column.bytes, byteCount))
            return false;
    }
    table.setRowCount(table.rowCount() + static_cast<int64_t>(rows));
    return batch.complete();
}

// Batches handed over and given up again, kept for the next ones: their memory is had once
// rather than mapped and faulted in for every batch. Shared with the batches still out, which
// come back when the last holder lets go.
class SpareBatches : public std::enable_shared_from_this<SpareBatches> {
public:
    std::shared_ptr<TableData> take(const std::vector<ColumnInfo>& columns)
    {
        std::unique_ptr<TableData> batch;
        {
            const std::lock_guard lock(mutex_);
            if (!spare_.empty()) {
                batch = std::move(spare_.back());
                spare_.pop_back();
            }
        }
        if (!batch)
            batch = std::make_unique<TableData>(columns);
        batch->clearRows();
        const std::weak_ptr<SpareBatches> pool = weak_from_this();
        return std::shared_ptr<TableData>(batch.release(), [pool](TableData* given) {
            std::unique_ptr<TableData> back(given);
            if (const std::shared_ptr<SpareBatches> keeper = pool.lock())
                keeper->keep(std::move(back));
        });
    }

private:
    static constexpr size_t kMostKept = 8;

    void keep(std::unique_ptr<TableData> batch)
    {
        const std::lock_guard lock(mutex_);
        if (spare_.size() < kMostKept)
            spare_.push_back(std::move(batch));
    }

    std::mutex mutex_;
    std::vector<std::unique_ptr<TableData>> spare_;
};

// A pipe already holding the whole secret, its writing end closed; returns the reading end, or -1.
// The secret must fit the pipe's buffer (64 KiB), which no password comes near.
int pipeHolding(const QByteArray& secret)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    fcntl(fds[1], F_SETFL, O_NONBLOCK);
    const bool written = reader::writeAll(fds[1], secret.constData(), static_cast<size_t>(secret.size()));
    close(fds[1]);
    if (!written) {
        close(fds[0]);
        return -1;
    }
    return fds[0];
}

// What failed, for the message: what was read. ended: how the reader ended.
Error failureError(Failure failure, const QString& path, const QString& what, Child& child)
{
    const QString damaged = QStringLiteral("the database '%1' may be damaged.").arg(path);
    switch (failure) {
    case Failure::Stalled:
        return {ErrorCode::ReadFailed, QStringLiteral("The reader stopped answering while reading %1 and was ended; %2").arg(what, damaged)};
    case Failure::TooLarge:
        return {ErrorCode::ReadFailed, QStringLiteral("Reading %1 needed more memory than the database '%2' can hold and "
                                                       "was ended; the file may be damaged.").arg(what, path)};
    case Failure::Garbled:
        return {ErrorCode::ReadFailed, QStringLiteral("The reader's answer was garbled while reading %1; %2").arg(what, damaged)};
    default:
        return {ErrorCode::ReadFailed, QStringLiteral("The reader %1 while reading %2; %3").arg(child.howItEnded(), what, damaged)};
    }
}

}  // namespace

ReaderOptions setReaderOptionsForTesting(ReaderOptions changed)
{
    return std::exchange(options(), std::move(changed));
}

Result<std::shared_ptr<TableData>> readWithReaderProcess(const QString& path, const std::optional<QString>& table,
                                                         const LoadProgress& progress, const QString& pagePassword,
                                                         const RowsReceived& received, std::vector<ReadWarning>& warnings)
{
    ReaderRequest request;
    if (table)
        request.operands << *table;
    request.subject = table ? QStringLiteral("table '%1'").arg(*table) : QStringLiteral("the table list");
    return readWithReaderProcess(path, request, progress, pagePassword, received, warnings);
}

Result<std::shared_ptr<TableData>> readWithReaderProcess(const QString& path, const ReaderRequest& request,
                                                         const LoadProgress& progress, const QString& pagePassword,
                                                         const RowsReceived& received, std::vector<ReadWarning>& warnings)
{
    struct stat status {};
    const uint64_t fileSize = stat(textToBytes(path).constData(), &status) == 0 ? static_cast<uint64_t>(status.st_size) : 0;
    // Decoded rows cannot rightly take more than a few times the file; a damaged file can claim anything.
    const uint64_t bound = options().memoryBound ? options().memoryBound : kMemoryBase + kMemoryPerFileByte * fileSize;
    QStringList arguments = {QStringLiteral("--memory-limit"), QString::number(512ull * 1024 * 1024 + 4 * fileSize)};
    arguments += options().extraArguments;
    arguments += request.options;
    int passwordInput = -1;
    if (!pagePassword.isEmpty()) {
        arguments << QStringLiteral("--password-on-stdin");
        passwordInput = pipeHolding(pagePassword.toUtf8());
    }
    arguments << path;
    arguments += request.operands;

    Child child;
    int readEnd = -1;
    const QString program = readerProgram();
    const bool started = (pagePassword.isEmpty() || passwordInput >= 0) && child.start(program, arguments, passwordInput, readEnd);
    if (passwordInput >= 0)
        close(passwordInput);
    if (!started)
        return Error{ErrorCode::ReadFailed, QStringLiteral("The database reader '%1' could not be started.").arg(program)};

    std::shared_ptr<TableData> data;
    std::vector<ColumnInfo> columns;
    int64_t rowCountHint = 0;
    int64_t handedOver = 0;  // rows handed over in batches of their own
    const auto spareBatches = std::make_shared<SpareBatches>();
    const auto report = [&] {
        const int64_t rowsRead = request.handOver ? handedOver : data ? data->rowCount() : 0;
        return progress(rowsRead, std::max(rowCountHint, rowsRead));
    };
    Channel channel(readEnd, bound, progress ? std::function<bool()>(report) : std::function<bool()>());
    // A cancelled read ends with no rows and no error; the reader is ended on the way out.
    const auto failed = [&](Failure failure) -> Result<std::shared_ptr<TableData>> {
        if (failure == Failure::Cancelled)
            return std::shared_ptr<TableData>();
        return failureError(failure, path, request.subject, child);
    };
    for (;;) {
        reader::MessageHeader header;
        if (!channel.read(&header, sizeof header))
            return failed(channel.failure());
        const auto kind = static_cast<reader::MessageKind>(header.kind);
        if (kind == reader::MessageKind::Rows && data && request.handOver) {
            const std::shared_ptr<TableData> batch = spareBatches->take(columns);
            if (!receiveRows(channel, header, *batch))
                return failed(channel.failure());
            handedOver += batch->rowCount();
            if ((progress && !report()) || (received && !received(batch)))
                return failed(Failure::Cancelled);
            continue;
        }
        if (kind == reader::MessageKind::Rows) {
            if (!data || !receiveRows(channel, header, *data))
                return failed(data ? channel.failure() : Failure::Garbled);
            if (progress && !report())
                return failed(Failure::Cancelled);
            if (received && !received(data))
                return failed(Failure::Cancelled);
            continue;
        }
        if (kind == reader::MessageKind::Done) {
            child.stop();
            if (!data)
                return failed(Failure::Garbled);
            return data;
        }
        if (header.length > (1u << 20))
            return failed(Failure::Garbled);
        std::vector<char> payload(header.length);
        if (!channel.read(payload.data(), payload.size()))
            return failed(channel.failure());
        if (kind == reader::MessageKind::Working)
            continue;
        if (kind == reader::MessageKind::Warning) {
            ReadWarning warning;
            if (!reader::parseWarning(payload, warning))
                return failed(Failure::Garbled);
            warnings.push_back(std::move(warning));
            continue;
        }
        if (kind == reader::MessageKind::Error) {
            child.stop();
            return reader::parseError(payload);
        }
        if (kind != reader::MessageKind::Columns || data || !reader::parseColumns(payload, columns, rowCountHint))
            return failed(Failure::Garbled);
        data = std::make_shared<TableData>(columns);
        // A table kept whole keeps its values compact; batches handed over live too briefly to gain.
        if (!request.handOver)
            data->keepValuesCompact();
        // Room for the announced rows up front, unless a damaged count would exceed the bound.
        if (!request.handOver && rowCountHint > 0 && static_cast<uint64_t>(rowCountHint) * 32 * columns.size() < bound)
            data->reserveRows(rowCountHint);
        if ((progress && !report()) || (request.handOver && received && !received(data)))
            return failed(Failure::Cancelled);
    }
}

}  // namespace varnex
