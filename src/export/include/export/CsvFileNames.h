#pragma once

#include <QStringList>

namespace varnex {

// The names of the CSV files for these tables in one folder, in the same order (varnex
// export-all and the window's Export All): the table's name with ".csv", where '/', '\',
// control characters (NUL among them), the characters other systems refuse (: * ? " < > |)
// and leading dots become '_', cut to a length every file system takes, and unique even
// where letter case is not told apart: the second "Orders" or "ORDERS" becomes "ORDERS~2.csv".
QStringList csvFileNames(const QStringList& tables);

}  // namespace varnex
