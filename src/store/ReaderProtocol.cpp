#include "store/ReaderProtocol.h"

#include "core/ByteText.h"

#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <list>
#include <vector>

namespace varnex::reader {
namespace {

constexpr qsizetype kMostWarningPartBytes = 4096;

template <class T>
void put(std::vector<char>& out, const T& value)
{
    const auto* bytes = reinterpret_cast<const char*>(&value);
    out.insert(out.end(), bytes, bytes + sizeof value);
}

template <class T>
bool take(const std::vector<char>& in, size_t& at, T& value)
{
    if (in.size() - at < sizeof value)
        return false;
    std::memcpy(&value, in.data() + at, sizeof value);
    at += sizeof value;
    return true;
}

bool writeMessage(int fd, MessageKind kind, const std::vector<char>& payload)
{
    const MessageHeader header{static_cast<uint32_t>(kind), 0, payload.size()};
    return writeAll(fd, &header, sizeof header) && writeAll(fd, payload.data(), payload.size());
}

}  // namespace

int16_t wireCode(FieldType type)
{
    return static_cast<int16_t>(type);
}

FieldType fieldTypeOfWire(int32_t code)
{
    return static_cast<FieldType>(static_cast<int16_t>(code));
}

bool writeAll(int fd, const void* data, size_t n)
{
    const auto* at = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t written = write(fd, at, n);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        at += written;
        n -= static_cast<size_t>(written);
    }
    return true;
}

bool writeColumns(int fd, const std::vector<ColumnInfo>& columns, int64_t rowCountHint)
{
    std::vector<char> payload;
    put(payload, rowCountHint);
    put(payload, static_cast<uint32_t>(columns.size()));
    for (const ColumnInfo& column : columns) {
        const QByteArray name = column.name.toUtf8();
        put(payload, wireCode(column.type));
        put(payload, column.precision);
        put(payload, column.scale);
        put(payload, wireCode(column.listOf));
        put(payload, column.storedType);
        put(payload, static_cast<uint32_t>(name.size()));
        payload.insert(payload.end(), name.begin(), name.end());
    }
    return writeMessage(fd, MessageKind::Columns, payload);
}

namespace {

// The most pieces one writev takes on Linux (UIO_MAXIOV).
constexpr size_t kMostPieces = 1024;

// Writes every piece, in order, in as few calls as the system allows.
bool writeAllPieces(int fd, std::vector<iovec>& pieces)
{
    size_t first = 0;
    while (first < pieces.size()) {
        const int count = static_cast<int>(std::min(pieces.size() - first, kMostPieces));
        const ssize_t written = writev(fd, pieces.data() + first, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        auto left = static_cast<size_t>(written);
        while (first < pieces.size() && left >= pieces[first].iov_len)
            left -= pieces[first++].iov_len;
        if (left > 0) {
            pieces[first].iov_base = static_cast<char*>(pieces[first].iov_base) + left;
            pieces[first].iov_len -= left;
        }
    }
    return true;
}

}  // namespace

bool writeRows(int fd, const TableData& batch)
{
    const auto rows = static_cast<uint64_t>(batch.rowCount());
    uint64_t length = 0;
    size_t variableColumns = 0;
    for (int c = 0; c < batch.columnCount(); ++c) {
        const ColumnData& column = batch.column(c);
        length += column.nulls.size();
        const bool variable = isVariableLength(column.info.type);
        variableColumns += variable ? 1 : 0;
        length += variable ? rows * sizeof(uint32_t) + sizeof(uint64_t) + column.bytes.size()
                           : rows * static_cast<size_t>(fixedWidth(column.info.type));
    }
    const MessageHeader header{static_cast<uint32_t>(MessageKind::Rows), static_cast<uint32_t>(rows), length};
    // Ends go counted from the batch's first byte, four bytes each; the byte counts beside them.
    std::vector<uint32_t> ends(rows * variableColumns);
    std::vector<uint64_t> byteCounts(variableColumns);
    std::list<std::vector<uint8_t>> widened;
    std::vector<iovec> pieces;
    pieces.reserve(4 * static_cast<size_t>(batch.columnCount()) + 1);
    const auto piece = [&pieces](const void* data, size_t size) {
        if (size > 0)
            pieces.push_back({const_cast<void*>(data), size});
    };
    piece(&header, sizeof header);
    size_t variable = 0;
    for (int c = 0; c < batch.columnCount(); ++c) {
        const ColumnData& column = batch.column(c);
        piece(column.nulls.data(), column.nulls.size());
        if (column.form != ValueForm::AsRead) {  // compact values go as the values they stand for
            const auto width = static_cast<size_t>(fixedWidth(column.info.type));
            std::vector<uint8_t>& values = widened.emplace_back(rows * width);
            for (uint64_t r = 0; r < rows; ++r) {
                if (!batch.isNull(static_cast<int64_t>(r), c))
                    batch.copyFixedValue(static_cast<int64_t>(r), c, values.data() + r * width);
            }
            piece(values.data(), values.size());
            continue;
        }
        if (!isVariableLength(column.info.type)) {
            piece(column.values.data(), column.values.size());
            continue;
        }
        uint32_t* columnEnds = ends.data() + variable * rows;
        for (uint64_t r = 0; r < rows; ++r) {
            const uint64_t end = column.valueEnd(static_cast<int64_t>(r));
            if (end > UINT32_MAX)
                return false;
            columnEnds[r] = static_cast<uint32_t>(end);
        }
        byteCounts[variable] = column.bytes.size();
        piece(columnEnds, rows * sizeof(uint32_t));
        piece(&byteCounts[variable], sizeof(uint64_t));
        piece(column.bytes.data(), column.bytes.size());
        ++variable;
    }
    return writeAllPieces(fd, pieces);
}

bool writeError(int fd, const Error& error)
{
    std::vector<char> payload;
    put(payload, static_cast<uint16_t>(error.code));
    const QByteArray text = textToBytes(error.description);  // a file name in it keeps its bytes
    payload.insert(payload.end(), text.begin(), text.end());
    return writeMessage(fd, MessageKind::Error, payload);
}

bool writeDone(int fd)
{
    return writeMessage(fd, MessageKind::Done, {});
}

bool writeWorking(int fd)
{
    return writeMessage(fd, MessageKind::Working, {});
}

bool writeWarning(int fd, const ReadWarning& warning)
{
    std::vector<char> payload;
    for (const QString* part : {&warning.table, &warning.column, &warning.cause}) {
        const QByteArray bytes = part->toUtf8().left(kMostWarningPartBytes);
        put(payload, static_cast<uint32_t>(bytes.size()));
        payload.insert(payload.end(), bytes.begin(), bytes.end());
    }
    return writeMessage(fd, MessageKind::Warning, payload);
}

bool parseColumns(const std::vector<char>& payload, std::vector<ColumnInfo>& columns, int64_t& rowCountHint)
{
    size_t at = 0;
    uint32_t count = 0;
    if (!take(payload, at, rowCountHint) || !take(payload, at, count) || count > 4096)
        return false;
    columns.clear();
    for (uint32_t i = 0; i < count; ++i) {
        ColumnInfo column;
        int16_t type = 0;
        int16_t listOf = 0;
        uint32_t nameLength = 0;
        if (!take(payload, at, type) || !take(payload, at, column.precision) || !take(payload, at, column.scale) ||
            !take(payload, at, listOf) || !take(payload, at, column.storedType) || !take(payload, at, nameLength) ||
            payload.size() - at < nameLength)
            return false;
        column.type = fieldTypeOfWire(type);
        column.listOf = fieldTypeOfWire(listOf);
        column.name = QString::fromUtf8(payload.data() + at, static_cast<qsizetype>(nameLength));
        at += nameLength;
        columns.push_back(column);
    }
    return at == payload.size();
}

Error parseError(const std::vector<char>& payload)
{
    size_t at = 0;
    uint16_t code = 0;
    if (!take(payload, at, code) || code >= static_cast<uint16_t>(ErrorCode::Count))
        return makeError(ErrorCode::ReadFailed);
    return {static_cast<ErrorCode>(code), bytesToText(QByteArrayView(payload.data() + at, static_cast<qsizetype>(payload.size() - at)))};
}

bool parseWarning(const std::vector<char>& payload, ReadWarning& warning)
{
    size_t at = 0;
    for (QString* part : {&warning.table, &warning.column, &warning.cause}) {
        uint32_t length = 0;
        if (!take(payload, at, length) || payload.size() - at < length)
            return false;
        *part = QString::fromUtf8(payload.data() + at, static_cast<qsizetype>(length));
        at += length;
    }
    return at == payload.size();
}

}  // namespace varnex::reader
