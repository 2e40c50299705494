#pragma once
// Where the database password of a command comes from. Other users of the machine can read a
// program's arguments (ps, /proc), so besides --password TEXT it is read from a file of the
// user's own (--password-file), from the environment (VARNEX_PASSWORD), or asked for on the
// terminal.

#include "core/Error.h"

#include <QString>

#include <optional>

namespace varnex::cli {

struct Invocation;

// The password given without asking: --password, the first line of --password-file (without
// its line end), or VARNEX_PASSWORD where neither option is given; nothing where none is.
// A password file that others may read gets a warning. A failure describes itself.
Result<std::optional<QString>> givenPassword(const Invocation& invocation);

// Asks for the password on the terminal that standard input is, without echo. Nothing where
// standard input is no terminal, or where an interruption (interrupted()) ended the question.
std::optional<QString> askForPassword(const QString& database);

}  // namespace varnex::cli
