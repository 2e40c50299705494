#include "export/SqliteConversion.h"

#include "core/FileSystem.h"
#include "store/FieldTypes.h"
#include "export/NewDatabaseFile.h"
#include "export/SqlSchema.h"
#include "export/SqliteDatabase.h"
#include "export/SqliteRowWriter.h"

#include <memory>
#include <optional>

namespace varnex {
namespace {

// A bulk load into a new file that is thrown away on failure: no journal on the disk, no waiting for
// the disk while writing (the file is synced once, before it is put in place).
const QString kBulkLoad = QStringLiteral("PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF; PRAGMA temp_store=MEMORY; "
                                         "PRAGMA cache_size=-16384; PRAGMA locking_mode=EXCLUSIVE; PRAGMA foreign_keys=OFF");

Error failed(const QString& description)
{
    return Error{ErrorCode::ReadFailed, description};
}

bool sameColumns(const std::vector<SchemaColumn>& schema, const TableData& rows)
{
    if (static_cast<int>(schema.size()) != rows.columnCount())
        return false;
    for (int c = 0; c < rows.columnCount(); ++c) {
        if (!(schema[static_cast<size_t>(c)].info == rows.info(c)))
            return false;
    }
    return true;
}

std::vector<ColumnInfo> infosOf(const std::vector<SchemaColumn>& columns)
{
    std::vector<ColumnInfo> infos;
    for (const SchemaColumn& column : columns)
        infos.push_back(column.info);
    return infos;
}

QString unwritableCause(int64_t count)
{
    return QStringLiteral("%1 not of years 1 to 9999 and left empty")
        .arg(count == 1 ? QStringLiteral("1 date is") : QStringLiteral("%1 dates are").arg(count));
}

// One table's way into the database. A failure leaves its savepoint to be rolled back.
class TableConversion {
public:
    TableConversion(SqliteDatabase& db, const ConversionRequest& request, ConversionObserver& observer, const SqlTable& table,
                    LoadProgress progress)
        : db_(db), request_(request), observer_(observer), table_(table), progress_(std::move(progress))
    {
    }

    // Nothing where the conversion was cancelled.
    std::optional<Status> run()
    {
        // A table whose definition could not be read has no columns; its read says what fails.
        for (const QString& statement : table_.table.columns.empty() ? QStringList() : sqlCreateTable(table_, SqlDialect::Sqlite)) {
            if (Status made = db_.execute(statement); !made)
                return made;
        }
        const std::optional<Status> rows = writeRows();
        if (!rows || !*rows)
            return rows;
        for (const SqlChildTable& child : table_.children) {
            const std::optional<Status> values = writeValues(child);
            if (!values || !*values)
                return values;
        }
        for (const QString& statement : sqlCreateIndexes(table_)) {
            if (Status made = db_.execute(statement); !made)
                return made;
        }
        if (request_.strict && warned_)
            return Status(failed(QString()));
        return Status();
    }

    int64_t rows() const { return written_; }

private:
    const QString& name() const { return table_.table.name; }

    void warn(const std::vector<ReadWarning>& warnings)
    {
        for (const ReadWarning& warning : warnings)
            observer_.warned(warning);
        warned_ = warned_ || !warnings.empty();
    }

    void warnUnwritable(const SqliteRowWriter& writer, const std::vector<SchemaColumn>& columns, const QString& prefix)
    {
        std::vector<ReadWarning> warnings;
        for (size_t c = 0; c < columns.size(); ++c) {
            if (const int64_t count = writer.unwritable()[c])
                warnings.push_back({name(), prefix + columns[c].info.name, unwritableCause(count)});
        }
        warn(warnings);
    }

    // Inserts a batch of the table's rows; false where it fails (failure_ says why).
    bool insertBatch(const TableData& rows)
    {
        if (!writer_) {
            if (!sameColumns(table_.table.columns, rows)) {
                failure_ = failed(QStringLiteral("its columns changed while the database was read"));
                return false;
            }
            auto prepared = SqliteRowWriter::prepare(db_, name(), infosOf(table_.table.columns));
            if (!prepared) {
                failure_ = prepared.error();
                return false;
            }
            writer_ = std::move(*prepared);
        }
        if (Status inserted = writer_->insert(rows, 0, rows.rowCount(), table_.children.empty() ? nullptr : &rowids_); !inserted) {
            failure_ = inserted.error();
            return false;
        }
        written_ += rows.rowCount();
        return true;
    }

    std::optional<Status> writeRows()
    {
        std::vector<ReadWarning> warnings;
        const RowsReceived received = [this](const std::shared_ptr<const TableData>& rows) { return insertBatch(*rows); };
        const auto read = streamTableRows(request_.source, name(), warnings, progress_, received);
        if (failure_)
            return Status(*failure_);
        if (!read)
            return Status(read.error());
        if (!*read)
            return std::nullopt;
        if (!insertBatch(**read))  // none, but where no batch came: the columns
            return Status(*failure_);
        warn(warnings);
        warnUnwritable(*writer_, table_.table.columns, QString());
        return Status();
    }

    std::optional<Status> writeValues(const SqlChildTable& child)
    {
        const SchemaColumn& complex = table_.table.columns[static_cast<size_t>(child.column)];
        std::vector<ReadWarning> warnings;
        const auto values = readComplexValues(request_.source, name(), complex.info.name, warnings, progress_);
        if (!values)
            return Status(values.error());
        if (!*values)
            return std::nullopt;
        std::vector<SchemaColumn> columns{{{QStringLiteral("row"), FieldType::Integer, 0, 0, FieldType::Unsupported, 0}, 0, true, false, ValuesKind::None}};
        for (const SchemaColumn& value : childValueColumns(complex))
            columns.push_back(value);
        if (!sameColumns(columns, **values))
            return Status(failed(QStringLiteral("the values of its column '%1' are not as its schema says").arg(complex.info.name)));
        auto writer = SqliteRowWriter::prepare(db_, child.name, infosOf(columns));
        if (!writer)
            return Status(writer.error());
        if (Status inserted = (*writer)->insert(**values, 0, (*values)->rowCount(), nullptr, &rowids_); !inserted)
            return inserted;
        warn(warnings);
        warnUnwritable(**writer, columns, complex.info.name + QStringLiteral(": "));
        return Status();
    }

    SqliteDatabase& db_;
    const ConversionRequest& request_;
    ConversionObserver& observer_;
    const SqlTable& table_;
    LoadProgress progress_;
    std::unique_ptr<SqliteRowWriter> writer_;
    std::optional<Error> failure_;
    std::vector<int64_t> rowids_;  // by position, where the values of complex columns link to them
    int64_t written_ = 0;
    bool warned_ = false;
};

class Conversion {
public:
    Conversion(const ConversionRequest& request, ConversionObserver& observer) : request_(request), observer_(observer) {}

    ConversionResult run()
    {
        if (sameFile(request_.source.path, request_.output))
            return failedWith(Error{ErrorCode::BadFileName,
                                    QStringLiteral("Could not create '%1': it is the database itself").arg(request_.output)});
        NewDatabaseFile file(request_.output, request_.replace);
        if (Status created = file.create(); !created)
            return failedWith(created.error());
        const std::optional<std::vector<SqlTable>> tables = plan();
        if (!tables)
            return result_;
        auto db = SqliteDatabase::open(file.temporaryName());
        if (!db)
            return failedWith(db.error());
        if (Status begun = (*db)->execute(kBulkLoad + QStringLiteral("; BEGIN")); !begun)
            return failedWith(begun.error());
        for (size_t t = 0; t < tables->size(); ++t) {
            if (!observer_.keepGoing()) {
                result_.outcome = ConversionOutcome::Cancelled;
                return result_;
            }
            if (!convert(**db, (*tables)[t], static_cast<int>(t) + 1, static_cast<int>(tables->size())))
                return result_;
        }
        if (Status committed = (*db)->execute(QStringLiteral("COMMIT")); !committed)
            return failedWith(committed.error());
        db->reset();
        if (Status placed = file.commit(); !placed)
            return failedWith(placed.error());
        result_.outcome = result_.tablesFailed > 0 ? ConversionOutcome::TablesFailed : ConversionOutcome::Completed;
        return result_;
    }

private:
    ConversionResult failedWith(const Error& error)
    {
        result_.outcome = ConversionOutcome::Failed;
        result_.error = error;
        return result_;
    }

    // The tables asked for, laid out; nothing where the schema cannot be read (or, strict, not exactly).
    std::optional<std::vector<SqlTable>> plan()
    {
        std::vector<ReadWarning> warnings;
        const Result<DatabaseSchema> schema =
            readDatabaseSchema(request_.source, warnings, [this](int64_t, int64_t) { return observer_.keepGoing(); });
        if (!schema && schema.error().code == ErrorCode::ReadStopped) {
            result_.outcome = ConversionOutcome::Cancelled;
            return std::nullopt;
        }
        if (!schema) {
            failedWith(schema.error());
            return std::nullopt;
        }
        for (const ReadWarning& warning : warnings)
            observer_.warned(warning);
        if (request_.strict && !warnings.empty()) {
            failedWith(failed(QString()));
            return std::nullopt;
        }
        QStringList missing;
        const DatabaseSchema selected = selectTables(*schema, request_.tables, missing);
        if (!missing.isEmpty()) {
            failedWith(Error{ErrorCode::TableNotFound, QStringLiteral("The database has no table '%1'.").arg(missing.first())});
            return std::nullopt;
        }
        return planSqlTables(selected);
    }

    // False where the conversion ends here (cancelled, or the database cannot be written).
    bool convert(SqliteDatabase& db, const SqlTable& table, int number, int count)
    {
        if (Status saved = db.execute(QStringLiteral("SAVEPOINT \"table\"")); !saved) {
            failedWith(saved.error());
            return false;
        }
        TableConversion conversion(db, request_, observer_, table, observer_.tableStarting(table.table.name, number, count));
        const std::optional<Status> converted = conversion.run();
        if (!converted) {
            result_.outcome = ConversionOutcome::Cancelled;
            return false;
        }
        if (!*converted) {
            if (Status undone = db.execute(QStringLiteral("ROLLBACK TO \"table\"")); !undone) {
                failedWith(undone.error());
                return false;
            }
            ++result_.tablesFailed;
            observer_.tableFailed(table.table.name, converted->error().description);
        } else {
            ++result_.tablesWritten;
            observer_.tableWritten(table.table.name, conversion.rows());
        }
        if (Status released = db.execute(QStringLiteral("RELEASE \"table\"")); !released) {
            failedWith(released.error());
            return false;
        }
        return true;
    }

    const ConversionRequest& request_;
    ConversionObserver& observer_;
    ConversionResult result_;
};

}  // namespace

ConversionResult convertToSqlite(const ConversionRequest& request, ConversionObserver& observer)
{
    return Conversion(request, observer).run();
}

}  // namespace varnex
