#include "data/TableList.h"

#include "data/Connection.h"
#include "data/Recordset.h"
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
    const Result<Field> name = schema->Fields().item(QStringLiteral("TABLE_NAME"));
    if (!name)
        return name.error();
    const Result<Field> type = schema->Fields().item(QStringLiteral("TABLE_TYPE"));
    if (!type)
        return type.error();

    std::vector<TableEntry> tables;
    while (!schema->eof()) {
        tables.push_back({valueText(name->value()), valueText(type->value())});
        if (Status moved = schema->moveNext(); !moved)
            return moved.error();
    }
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
