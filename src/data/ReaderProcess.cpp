#include "data/ReaderProcess.h"

#include "core/Error.h"
#include "core/Log.h"
#include "data/ReaderProtocol.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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

enum class Failure { None, Stalled, Ended, TooLarge, Garbled };

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
            storage.push_back(QFile::encodeName(argument));
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

    void stop()
    {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGKILL);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }

    // Waits for a reader that has said it is done.
    void reap()
    {
        if (pid_ <= 0)
            return;
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

class Channel {
public:
    Channel(int fd, uint64_t bound) : fd_(fd), bound_(bound) {}
    ~Channel() { close(fd_); }

    Failure failure() const { return failure_; }

    bool read(void* into, size_t n)
    {
        auto* at = static_cast<char*>(into);
        while (n > 0) {
            pollfd watch{fd_, POLLIN, 0};
            const int ready = poll(&watch, 1, static_cast<int>(options().stallTimeout.count()));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready == 0)
                return fail(Failure::Stalled);
            const ssize_t got = ::read(fd_, at, n);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return fail(Failure::Ended);
            at += got;
            n -= static_cast<size_t>(got);
        }
        return true;
    }

    bool within(uint64_t bytes) { return bytes <= bound_ || fail(Failure::TooLarge); }
    bool fail(Failure failure)
    {
        failure_ = failure;
        return false;
    }

private:
    int fd_;
    uint64_t bound_;
    Failure failure_ = Failure::None;
};

// Reads one batch straight into the end of the table's columns.
bool receiveRows(Channel& channel, const reader::MessageHeader& header, TableData& table)
{
    const size_t rows = header.rows;
    if (!channel.within(table.byteSize() + header.length))
        return false;
    if (rows > header.length)  // every row takes at least a byte
        return channel.fail(Failure::Garbled);
    for (int c = 0; c < table.columnCount(); ++c) {
        ColumnData& column = table.column(c);
        const size_t nullBytes = (rows + 7) / 8;
        if (column.count % 8 == 0) {
            uint8_t* nulls = column.nulls.extend(nullBytes);  // straight into place
            if (!nulls)
                return channel.fail(Failure::TooLarge);
            if (!channel.read(nulls, nullBytes))
                return false;
            column.count += static_cast<int64_t>(rows);
            clearUnusedNullBits(column);
        } else {
            std::vector<uint8_t> nulls(nullBytes);
            if (!channel.read(nulls.data(), nullBytes))
                return false;
            if (!table.appendNullBits(c, nulls.data(), static_cast<int64_t>(rows)))
                return channel.fail(Failure::TooLarge);
        }
        if (!isVariableLength(column.info.type)) {
            const size_t bytes = rows * static_cast<size_t>(fixedWidth(column.info.type));
            uint8_t* values = column.values.extend(bytes);
            if (!values)
                return channel.fail(Failure::TooLarge);
            if (!channel.read(values, bytes))
                return false;
            continue;
        }
        const uint64_t base = column.bytes.size();
        auto* ends = reinterpret_cast<uint64_t*>(column.values.extend(rows * sizeof(uint64_t)));
        uint64_t byteCount = 0;
        if (!ends)
            return channel.fail(Failure::TooLarge);
        if (!channel.read(ends, rows * sizeof(uint64_t)) || !channel.read(&byteCount, sizeof byteCount))
            return false;
        if (!channel.within(byteCount))
            return false;
        uint64_t previous = 0;
        for (size_t r = 0; r < rows; ++r) {
            if (ends[r] < previous || ends[r] > byteCount)
                return channel.fail(Failure::Garbled);
            previous = ends[r];
            ends[r] += base;
        }
        uint8_t* bytes = column.bytes.extend(byteCount);
        if (!bytes)
            return channel.fail(Failure::TooLarge);
        if (!channel.read(bytes, byteCount))
            return false;
    }
    table.setRowCount(table.rowCount() + static_cast<int64_t>(rows));
    return true;
}

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

Error failureError(Failure failure, const QString& path, const std::optional<QString>& table)
{
    if (!table)
        return makeError(ErrorCode::UnrecognizedFormat, path);
    switch (failure) {
    case Failure::Stalled:
        return {ErrorCode::ReadFailed, QStringLiteral("Reading the table '%1' stopped making progress and was ended; "
                                                       "the database '%2' may be damaged.").arg(*table, path)};
    case Failure::TooLarge:
        return {ErrorCode::ReadFailed, QStringLiteral("Reading the table '%1' needed more memory than the database "
                                                       "'%2' can hold and was ended; the file may be damaged.").arg(*table, path)};
    default:
        return {ErrorCode::ReadFailed, QStringLiteral("Reading the table '%1' failed: the database reader ended "
                                                       "unexpectedly; the database '%2' may be damaged.").arg(*table, path)};
    }
}

}  // namespace

ReaderOptions setReaderOptionsForTesting(ReaderOptions changed)
{
    return std::exchange(options(), std::move(changed));
}

Result<std::shared_ptr<TableData>> readWithReaderProcess(const QString& path, const std::optional<QString>& table,
                                                         const LoadProgress& progress, const QString& pagePassword)
{
    const auto fileSize = static_cast<uint64_t>(std::max<qint64>(QFileInfo(path).size(), 0));
    // Decoded rows cannot rightly take more than a few times the file; a damaged file can claim anything.
    const uint64_t bound = options().memoryBound ? options().memoryBound : kMemoryBase + kMemoryPerFileByte * fileSize;
    QStringList arguments = {QStringLiteral("--memory-limit"), QString::number(512ull * 1024 * 1024 + 4 * fileSize)};
    arguments += options().extraArguments;
    int passwordInput = -1;
    if (!pagePassword.isEmpty()) {
        arguments << QStringLiteral("--password-on-stdin");
        passwordInput = pipeHolding(pagePassword.toUtf8());
    }
    arguments << path;
    if (table)
        arguments << *table;

    Child child;
    int readEnd = -1;
    const QString program = readerProgram();
    const bool started = (pagePassword.isEmpty() || passwordInput >= 0) && child.start(program, arguments, passwordInput, readEnd);
    if (passwordInput >= 0)
        close(passwordInput);
    if (!started)
        return Error{ErrorCode::ReadFailed, QStringLiteral("The database reader '%1' could not be started.").arg(program)};
    Channel channel(readEnd, bound);

    std::shared_ptr<TableData> data;
    int64_t rowCountHint = 0;
    for (;;) {
        reader::MessageHeader header;
        if (!channel.read(&header, sizeof header))
            return failureError(channel.failure(), path, table);
        const auto kind = static_cast<reader::MessageKind>(header.kind);
        if (kind == reader::MessageKind::Rows) {
            if (!data || !receiveRows(channel, header, *data))
                return failureError(data ? channel.failure() : Failure::Garbled, path, table);
            if (progress && !progress(data->rowCount(), std::max(rowCountHint, data->rowCount())))
                return std::shared_ptr<TableData>();
            continue;
        }
        if (kind == reader::MessageKind::Done) {
            child.reap();
            if (!data)
                return failureError(Failure::Garbled, path, table);
            return data;
        }
        if (header.length > (1u << 20))
            return failureError(Failure::Garbled, path, table);
        std::vector<char> payload(header.length);
        if (!channel.read(payload.data(), payload.size()))
            return failureError(channel.failure(), path, table);
        if (kind == reader::MessageKind::Working)
            continue;
        if (kind == reader::MessageKind::Warning) {
            writeLog(QStringLiteral("LoadTableWarning"), QString::fromUtf8(payload.data(), static_cast<qsizetype>(payload.size())),
                     false);
            continue;
        }
        if (kind == reader::MessageKind::Error) {
            child.reap();
            const Error error = reader::parseError(payload);
            return table ? error : makeError(ErrorCode::UnrecognizedFormat, path);
        }
        std::vector<ColumnInfo> columns;
        if (kind != reader::MessageKind::Columns || data || !reader::parseColumns(payload, columns, rowCountHint))
            return failureError(Failure::Garbled, path, table);
        data = std::make_shared<TableData>(columns);
        // Room for the announced rows up front, unless a damaged count would exceed the bound.
        if (rowCountHint > 0 && static_cast<uint64_t>(rowCountHint) * 32 * columns.size() < bound)
            data->reserveRows(rowCountHint);
        if (progress && !progress(0, rowCountHint))
            return std::shared_ptr<TableData>();
    }
}

}  // namespace varnex
