#pragma once

#include <QString>

namespace varnex {

// Makes the named file the database of the settings, as choosing it in the settings window
// does. The name is made absolute; one that is no existing ordinary file (missing, a folder, a
// wildcard pattern) is refused with the critical box "<path> - does not exist!" and changes
// nothing; otherwise it becomes the data path and is stored in Setup.ini at once. True unless
// refused.
bool chooseDatabaseFile(const QString& name);

}  // namespace varnex
