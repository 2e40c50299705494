#pragma once

#include <QStringList>

namespace varnex::cli {

// The names of the CSV files for these tables in one folder, in the same order:
// the table's name with ".csv", where '/', '\', control characters (NUL among
// them), the characters other systems refuse (: * ? " < > |) and leading dots
// become '_', cut to a length every file system takes, and unique even where
// letter case is not told apart: the second "Orders" or "ORDERS" becomes
// "ORDERS~2.csv".
QStringList csvFileNames(const QStringList& tables);

}  // namespace varnex::cli
