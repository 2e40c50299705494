#pragma once
// Replacing a file's bytes so that it holds the old bytes or the new ones, never a part of
// either: for settings files, which a full disk or a read-only folder must not cut short.

#include <QByteArray>
#include <QString>

namespace varnex {

// Writes the bytes to a temporary file beside the file and renames it over the file once
// they are all on disk; a new file gets the mode newFileMode (e.g. 0600), an old one keeps
// its own. Where the folder takes no new file but the file itself is writable, the file is
// rewritten where it lies, in an order that keeps the old bytes until the new ones are sure
// to fit. A symbolic link is followed. Returns false when the bytes could not be written,
// with the file as it was.
bool replaceFileContents(const QString& path, const QByteArray& bytes, unsigned newFileMode);

}  // namespace varnex
