#pragma once
// Icons and type names for a file dialog, taken from file names alone.
//
// Qt's own provider asks the MIME database for a file's type by its content, which opens
// and reads the file, partly on the window's thread: a named pipe, a device or
// /proc/kmsg then blocks the dialog for good. Folders still get their folder icon; a file
// is known by its name, and a name that tells nothing gives the plain file icon.

#include <QFileIconProvider>

namespace varnex {

class NameOnlyIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;
};

}  // namespace varnex
