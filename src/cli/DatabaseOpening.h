#pragma once

#include "Ending.h"
#include "data/TableList.h"

#include <QString>

#include <optional>
#include <vector>

namespace varnex {
class Connection;
}

namespace varnex::cli {

struct Invocation;

// Opens the command's database with the provider its header page calls for (Jet 3 and Jet 4
// files through Jet 4.0, .accdb files through ACE 12.0) and reports a failure. The password
// (PasswordSources.h) is looked for only where the database has one, and a password given for
// a database without one is ignored, so a script may always give one. Where a password is
// needed and none is given, standard input being a terminal, it is asked for there.
Ending openForCommand(Connection& connection, const Invocation& invocation);

// The database's tables (see readTableList); its failure is reported, and so is what it left out, which
// fails it with --strict.
std::optional<std::vector<TableEntry>> tableListForCommand(Connection& connection, const Invocation& invocation);

}  // namespace varnex::cli
