#pragma once
// The tables of an open database as the table list shows them: the window's
// list and the command line share the order and the rule for what is left out.

#include "core/Error.h"
#include "data/ReaderProcess.h"

#include <QString>

#include <vector>

namespace varnex {

class Connection;

struct TableEntry {
    QString name;
    QString type;  // "TABLE", "ACCESS TABLE", "SYSTEM TABLE"
};

// Every table of the connection's database, by type, then by name. warnings: receives what the
// list could not read (entries left out). progress: as for Connection::openTableSchema.
Result<std::vector<TableEntry>> readTableList(Connection& connection, std::vector<ReadWarning>& warnings,
                                              const LoadProgress& progress = {});

// False for the tables a user does not pick from: names starting "MSys" in any letter case.
bool isUserTable(const TableEntry& table);

// The recordset source that opens exactly the named table. A bare name has the blanks around it
// dropped and brackets around it taken off; in brackets, the name itself is what is looked for,
// blanks, brackets and all.
QString exactTableSource(const QString& table);

}  // namespace varnex
