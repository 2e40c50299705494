#pragma once

#include "core/Error.h"
#include "data/TableList.h"

#include <QString>

#include <optional>
#include <vector>

namespace varnex {
class Connection;
}

namespace varnex::cli {

struct Invocation;

// Opens the database at path with the provider its header page calls for
// (Jet 3 and Jet 4 files through Jet 4.0, .accdb files through ACE 12.0). A file
// with a password, opened without one, gets a hint at --password.
Status openDatabase(Connection& connection, const QString& path, const QString& user,
                    const std::optional<QString>& password);

// The same with the command's database, user and password; a failure is reported.
bool openForCommand(Connection& connection, const Invocation& invocation);

// The database's tables (see readTableList); its failure is reported, and so is what it left out, which
// fails it with --strict.
std::optional<std::vector<TableEntry>> tableListForCommand(Connection& connection, const Invocation& invocation);

}  // namespace varnex::cli
