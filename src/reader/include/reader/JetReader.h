#pragma once
// Reads an Access file's table list or one table with libmdb: libmdb walks the
// pages and cracks each row; the values are decoded here from their raw bytes.

#include "core/Error.h"
#include "data/CodePage.h"
#include "reader/TableSink.h"

#include <QString>

#include <memory>

namespace varnex::reader {

// Columns of the table list: TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, TABLE_TYPE.
inline constexpr int kSchemaNameColumn = 2;

class JetReader {
public:
    ~JetReader();
    JetReader(const JetReader&) = delete;
    JetReader& operator=(const JetReader&) = delete;

    // "Unrecognized database format '<path>'." when libmdb cannot open it.
    static Result<std::unique_ptr<JetReader>> open(const QString& path);

    // One row per table (user, system and Access's own), ordered by type, then name.
    Status readCatalogue(TableSink& sink);
    // Every row of the table named (case-insensitively) by name.
    Status readTable(const QString& name, TableSink& sink);
    // Walks the table's pages and cracks its rows without decoding a value: the floor under
    // readTable's time, for benchmarks. Returns the rows cracked.
    Result<int64_t> walkTable(const QString& name);

private:
    JetReader(void* mdb, const QString& path, uint16_t codePage);
    // The table's definition with its columns (libmdb's MdbTableDef, for mdb_free_tabledef).
    Result<void*> openTable(const QString& name);

    void* handle_;  // libmdb's MdbHandle, kept out of this header
    QString path_;
    CodePageTable codePage_;
};

}  // namespace varnex::reader
