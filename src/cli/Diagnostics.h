#pragma once
// What goes to standard error: one line a failure, naming the database, the
// table where there is one, and the cause; one line a warning of what a read
// could not read, "varnex: warning: FILE: table 'T': column 'C': cause".
// File names in it keep their bytes.

#include "store/ReadWarning.h"

#include <QString>

#include <vector>

namespace varnex::cli {

void reportFailure(const QString& database, const QString& table, const QString& cause);
void reportFailure(const QString& database, const QString& cause);  // database may be empty
void reportUsageError(const QString& problem);
// "varnex: warning: SUBJECT: CAUSE"
void reportWarning(const QString& subject, const QString& cause);

// Each warning on a line of its own; with strict, as failures (without "warning: "). False where they
// fail the command: strict, and at least one warning.
bool reportReadWarnings(const QString& database, const std::vector<ReadWarning>& warnings, bool strict);

}  // namespace varnex::cli
