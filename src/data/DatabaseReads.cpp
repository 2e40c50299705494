#include "data/DatabaseReads.h"

#include "data/Connection.h"
#include "store/SchemaRows.h"
#include "data/TableList.h"

namespace varnex {

DatabaseFile databaseFileOf(const Connection& connection)
{
    return {connection.databasePath(), connection.pagePassword()};
}

Result<DatabaseSchema> readDatabaseSchema(const DatabaseFile& file, std::vector<ReadWarning>& warnings, const LoadProgress& progress)
{
    const ReaderRequest request{{QStringLiteral("--schema")}, {}, QStringLiteral("the schema")};
    const auto rows = readWithReaderProcess(file.path, request, progress, file.pagePassword, {}, warnings);
    if (!rows)
        return rows.error();
    if (!*rows)
        return makeError(ErrorCode::ReadStopped);
    std::optional<DatabaseSchema> schema = schemaFromRows(**rows);
    if (!schema)
        return Error{ErrorCode::ReadFailed, QStringLiteral("The reader's answer was garbled while reading the schema of the database "
                                                           "'%1'.").arg(file.path)};
    return std::move(*schema);
}

Result<std::shared_ptr<TableData>> readTableRows(const DatabaseFile& file, const QString& table, std::vector<ReadWarning>& warnings,
                                                 const LoadProgress& progress, const RowsReceived& received)
{
    const ReaderRequest request{{}, {exactTableSource(table)}, QStringLiteral("table '%1'").arg(table)};
    return readWithReaderProcess(file.path, request, progress, file.pagePassword, received, warnings);
}

Result<std::shared_ptr<TableData>> streamTableRows(const DatabaseFile& file, const QString& table, std::vector<ReadWarning>& warnings,
                                                   const LoadProgress& progress, const RowsReceived& received)
{
    ReaderRequest request{{}, {exactTableSource(table)}, QStringLiteral("table '%1'").arg(table)};
    request.handOver = true;
    return readWithReaderProcess(file.path, request, progress, file.pagePassword, received, warnings);
}

Result<std::shared_ptr<TableData>> readComplexValues(const DatabaseFile& file, const QString& table, const QString& column,
                                                     std::vector<ReadWarning>& warnings, const LoadProgress& progress)
{
    const ReaderRequest request{{QStringLiteral("--complex-values")}, {exactTableSource(table), column},
                                QStringLiteral("the values of column '%1' of table '%2'").arg(column, table)};
    return readWithReaderProcess(file.path, request, progress, file.pagePassword, {}, warnings);
}

}  // namespace varnex
