#pragma once
// The messages the reader process writes to its output: the columns of the
// table, then its rows in batches (each column's Null flags, values and bytes
// as stored in TableData, so the receiving side reads them straight into
// place, but a text or binary column's ends: four bytes a row, counted from the
// batch's first byte), then Done or an Error. Warnings (what could not be read:
// its table, its column and the cause, each a 32-bit byte count and UTF-8) may
// come between them, and Working while the
// reader is busy before its first message (decrypting a large file), so that
// its silence is not taken for a stall.

#include "core/Error.h"
#include "store/ReadWarning.h"
#include "store/TableData.h"

#include <cstdint>
#include <vector>

namespace varnex::reader {

enum class MessageKind : uint32_t { Columns = 1, Rows = 2, Error = 3, Done = 4, Warning = 5, Working = 6 };

struct MessageHeader {
    uint32_t kind = 0;
    uint32_t rows = 0;      // Rows: rows in the batch
    uint64_t length = 0;    // bytes that follow
};

// Sending side (the reader process). Each returns false when the output is gone.
bool writeColumns(int fd, const std::vector<ColumnInfo>& columns, int64_t rowCountHint);
bool writeRows(int fd, const TableData& batch);
bool writeError(int fd, const Error& error);
bool writeDone(int fd);
bool writeWarning(int fd, const ReadWarning& warning);
bool writeWorking(int fd);

// A field type as it travels (columns, schema rows): the provider's code as a number, and back.
// A code no name stands for arrives as it was sent.
int16_t wireCode(FieldType type);
FieldType fieldTypeOfWire(int32_t code);

// Writes all n bytes, retrying short writes.
bool writeAll(int fd, const void* data, size_t n);

// Columns payload decoding (receiving side).
bool parseColumns(const std::vector<char>& payload, std::vector<ColumnInfo>& columns, int64_t& rowCountHint);
Error parseError(const std::vector<char>& payload);
// False for a payload that is no warning.
bool parseWarning(const std::vector<char>& payload, ReadWarning& warning);

}  // namespace varnex::reader
