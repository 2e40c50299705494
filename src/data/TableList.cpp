#include "data/TableList.h"

#include "data/CellValue.h"
#include "data/Connection.h"
#include "data/Recordset.h"
#include "store/TableData.h"
#include "data/ValueFormatter.h"

namespace varnex {

Result<std::vector<TableEntry>> readTableList(Connection& connection, std::vector<ReadWarning>& warnings,
                                              const LoadProgress& progress)
{
    Result<std::shared_ptr<Recordset>> opened = connection.openTableSchema(progress);
    if (!opened)
        return opened.error();
    const std::shared_ptr<Recordset> schema = *opened;
    warnings = schema->warnings();
    const int name = schema->columnIndex(QStringLiteral("TABLE_NAME"));
    const int type = schema->columnIndex(QStringLiteral("TABLE_TYPE"));
    if (name < 0 || type < 0)
        return makeError(ErrorCode::ItemNotFound);

    // The schema rows come in the list's order; nothing sorts or filters them.
    const TableData& rows = *schema->loadedRows();
    std::vector<TableEntry> tables;
    tables.reserve(static_cast<size_t>(rows.rowCount()));
    for (int64_t row = 0; row < rows.rowCount(); ++row)
        tables.push_back({valueText(storedValue(rows, row, name)), valueText(storedValue(rows, row, type))});
    return tables;
}

bool isUserTable(const TableEntry& table)
{
    return table.name.left(4).toUpper() != QLatin1String("MSYS");
}

QString exactTableSource(const QString& table)
{
    return QLatin1Char('[') + table + QLatin1Char(']');
}

}  // namespace varnex
