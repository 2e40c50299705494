#pragma once
// Runs the reader process (varnex-reader, beside the executable) for the table
// list or one table and receives its rows, watching it: a reader that sends
// nothing for a while, crashes, or sends more than the file can hold is ended.

#include "core/Error.h"
#include "store/ReadWarning.h"
#include "store/TableData.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace varnex {

// Called with the rows read so far and the table's row count: after the columns, after each
// batch, and every few dozen milliseconds while the read waits on a slow or silent reader, so
// that a caller on the window's thread can repaint. False cancels and ends the reader at once.
using LoadProgress = std::function<bool(int64_t rowsRead, int64_t rowCount)>;

// The rows, or nullptr when the progress callback cancelled, or the failure.
// Called with the rows read so far after each batch, before the next is read, so that a caller
// can use them while the reader goes on; false cancels as the progress callback does.
using RowsReceived = std::function<bool(const std::shared_ptr<const TableData>& rows)>;

// table: nullopt reads the table list. pagePassword: the password of an encrypted .accdb; it reaches
// the reader on a pipe, never in its arguments. warnings: receives what the reader could not read
// (values left empty or cut short, rows or entries left out), for the caller to tell the user.
// A reader that ends, stalls or garbles its answer fails the read with a message saying so.
Result<std::shared_ptr<TableData>> readWithReaderProcess(const QString& path, const std::optional<QString>& table,
                                                         const LoadProgress& progress, const QString& pagePassword,
                                                         const RowsReceived& received, std::vector<ReadWarning>& warnings);

// What else the reader is asked for (see reader/ReaderMain.h): its options before the file, its
// operands after it, and what it reads, for messages ("the schema"). handOver: `received` gets the
// columns first, as a table of no rows, then each batch of rows in a table of its own, which it may
// keep while the next ones are read (a batch let go is used again); nothing else keeps them, so that
// memory holds only the batches still wanted. The table returned then holds no rows.
struct ReaderRequest {
    QStringList options;
    QStringList operands;
    QString subject;
    bool handOver = false;
};
Result<std::shared_ptr<TableData>> readWithReaderProcess(const QString& path, const ReaderRequest& request,
                                                         const LoadProgress& progress, const QString& pagePassword,
                                                         const RowsReceived& received, std::vector<ReadWarning>& warnings);

struct ReaderOptions {
    std::chrono::milliseconds stallTimeout{5000};  // how long the reader may stay silent
    QStringList extraArguments;                     // passed before the file
    uint64_t memoryBound = 0;                       // the most one read may take; 0: from the file's size
    QString program;                                // empty: varnex-reader beside the executable
};

// Tests watch a reader of their own or with other bounds. Returns the options replaced.
ReaderOptions setReaderOptionsForTesting(ReaderOptions options);

}  // namespace varnex
