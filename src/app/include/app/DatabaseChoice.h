#pragma once

#include <QString>

namespace varnex {

// Makes the named file the database of the settings, as choosing it in the settings window
// does. The name is made absolute; one that is no existing ordinary file is refused with a
// critical box and changes nothing: "<path> - does not exist!" for a missing one (or a wildcard
// pattern), "<path> is a folder, not a database file." for a folder, and one saying that a
// device or a pipe is not a database file; otherwise it becomes the data path and is stored in Setup.ini at once. True unless
// refused.
bool chooseDatabaseFile(const QString& name);

}  // namespace varnex
