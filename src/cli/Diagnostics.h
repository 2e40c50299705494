#pragma once
// What goes to standard error: one line a failure, naming the database, the
// table where there is one, and the cause. File names in it keep their bytes.

#include <QString>

namespace varnex::cli {

void reportFailure(const QString& database, const QString& table, const QString& cause);
void reportFailure(const QString& database, const QString& cause);  // database may be empty
void reportUsageError(const QString& problem);
// "varnex: warning: SUBJECT: CAUSE"
void reportWarning(const QString& subject, const QString& cause);

}  // namespace varnex::cli
