#pragma once
// The messages the reader process writes to its output: the columns of the
// table, then its rows in batches (each column's Null flags, values and bytes
// exactly as stored in TableData, so the receiving side reads them straight
// into place), then Done or an Error.

#include "platform/Error.h"
#include "platform/data/TableData.h"

#include <cstdint>
#include <vector>

namespace varnex::reader {

enum class MessageKind : uint32_t { Columns = 1, Rows = 2, Error = 3, Done = 4 };

struct MessageHeader {
    uint32_t kind = 0;
    uint32_t rows = 0;      // Rows: rows in the batch
    uint64_t length = 0;    // bytes that follow
};

// Sending side (the reader process). Each returns false when the output is gone.
bool WriteColumns(int fd, const std::vector<ColumnInfo>& columns, int64_t rowCountHint);
bool WriteRows(int fd, const TableData& batch);
bool WriteError(int fd, const Error& error);
bool WriteDone(int fd);

// Writes all n bytes, retrying short writes.
bool WriteAll(int fd, const void* data, size_t n);

// Columns payload decoding (receiving side).
bool ParseColumns(const std::vector<char>& payload, std::vector<ColumnInfo>& columns, int64_t& rowCountHint);
Error ParseError(const std::vector<char>& payload);

}  // namespace varnex::reader
