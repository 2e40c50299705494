#pragma once
// Reads an Access file's table list or one table with libmdb: libmdb walks the
// pages and cracks each row; the values are decoded here from their raw bytes.
// Complex columns get their values from the hidden tables Access keeps them in.

#include "core/Error.h"
#include "store/CodePage.h"
#include "store/DatabaseSchema.h"
#include "reader/ComplexColumns.h"
#include "reader/PlainFile.h"
#include "reader/TableDefinitionCheck.h"
#include "reader/TableSink.h"

#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace varnex::reader {

struct PlannedColumn;

// Columns of the table list: TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, TABLE_TYPE.
inline constexpr int kSchemaNameColumn = 2;

class JetReader {
public:
    ~JetReader();
    JetReader(const JetReader&) = delete;
    JetReader& operator=(const JetReader&) = delete;

    // "Unrecognized database format '<path>'." when libmdb cannot open it; password: that of an
    // encrypted .accdb; working: called now and then while its pages are decrypted (see PlainFile::open).
    static Result<std::unique_ptr<JetReader>> open(const QString& path, const QString& password = {},
                                                   const std::function<void()>& working = {});

    // One row per table (user, system and Access's own), ordered by type, then name; without the
    // hidden tables of complex columns, which Access does not list either, and without entries of no
    // valid name (a damaged catalogue), which a warning counts.
    Status readCatalogue(TableSink& sink);
    // Every row of the table named (case-insensitively) by name.
    Status readTable(const QString& name, TableSink& sink);
    // Walks the table's pages and cracks its rows without decoding a value: the floor under
    // readTable's time, for benchmarks. Returns the rows cracked.
    Result<int64_t> walkTable(const QString& name);
    // The schema of the user tables (as readCatalogue lists them, but those named "MSys...") and of the
    // relationships between them, as schema rows (store/SchemaRows.h). Each table's columns are those
    // readTable delivers; what the values hold is left to the tables' reads, and so are their warnings.
    Status readSchema(TableSink& sink);
    // The values of a complex column of a table (see ComplexValueRows.h), one row each.
    Status readComplexValues(const QString& table, const QString& column, TableSink& sink);

private:
    JetReader(void* mdb, PlainFile file, const QString& path);

    // The table at a catalogue entry (libmdb's MdbCatalogEntry); wanted: which columns to deliver
    // (all when empty). Calculated and complex columns are resolved only for the table that was asked
    // for (asked): the hidden tables hold none.
    Status readEntry(void* entry, TableSink& sink, const std::function<bool(const QString&)>& wanted, bool asked);
    // Where a column's values come from and what they are delivered as; false for a column not shown.
    // lists: where the values of complex columns are kept, none to describe the column without
    // reading them; warnings: where to say what is not read (none for hidden tables, whose reader says
    // what matters).
    bool planColumn(void* entry, const void* column, const ColumnExtras& extras, TableSink* warnings,
                    std::deque<ComplexValues>* lists, PlannedColumn& planned);
    // Where one complex column's values are; warns where they cannot be read.
    ComplexTarget findComplexTarget(void* owner, const QString& column, uint32_t complexId, TableSink& sink);
    // The values of one complex column (none where the target was not found, a warning having said
    // why); values false: only their type.
    ComplexValues complexValues(void* owner, const QString& column, const ComplexTarget& target, bool values, TableSink& sink);
    // One user table's schema; nothing where its definition cannot be read.
    std::optional<SchemaTable> describeTable(void* entry, TableSink& warnings);
    // The rows of MSysRelationships; nothing where the file has none or they cannot be read (a
    // warning then says so).
    std::optional<TableData> relationshipRows(TableSink& warnings);
    // The columns of the table at a catalogue entry, as its definition has them.
    std::optional<std::vector<ColumnShape>> columnShapes(void* entry);
    void* tableAt(uint32_t definitionPage) const;
    // The catalogue entry of the table named (case-insensitively) by source.
    Result<void*> findTable(const QString& source);
    // The entry's table definition with its columns read (libmdb's MdbTableDef, for mdb_free_tabledef).
    Result<void*> openEntry(void* catalogueEntry);

    void* handle_;  // libmdb's MdbHandle, kept out of this header
    PlainFile file_;
    QString path_;  // the file as the user named it, for messages
    CodePageTable codePage_;
    std::optional<TableData> complexColumns_;  // MSysComplexColumns, once read
    bool complexColumnsDamaged_ = false;        // and not whole
};

}  // namespace varnex::reader
