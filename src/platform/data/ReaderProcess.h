#pragma once
// Runs the reader process (varnex-reader, beside the executable) for the table
// list or one table and receives its rows, watching it: a reader that sends
// nothing for a while, crashes, or sends more than the file can hold is ended.

#include "platform/Error.h"
#include "platform/data/TableData.h"
#include "platform/data/TableLoader.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>
#include <optional>

namespace varnex {

Result<std::shared_ptr<TableData>> ReadWithReaderProcess(const QString& path, const std::optional<QString>& table,
                                                         const LoadProgress& progress);

// Tests: how long the reader may stay silent, and extra arguments (e.g. "--test-stall").
void SetReaderStallTimeoutForTesting(std::chrono::milliseconds timeout);
void SetReaderArgumentsForTesting(const QStringList& arguments);
// The most the rows of one read may take; 0 derives it from the file's size (the default).
void SetReaderMemoryBoundForTesting(uint64_t bytes);
// The reader program; default: varnex-reader in the folder of the running executable.
void SetReaderProgramForTesting(const QString& program);

}  // namespace varnex
