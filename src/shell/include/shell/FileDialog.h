#pragma once
// A file dialog used through a handful of properties, one instance per window.

#include "core/Error.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace varnex {

enum class FileDialogMode { Save, Open, Folder };

class FileDialog {
public:
    // Set by showSave and showOpen before the dialog shows.
    FileDialogMode mode = FileDialogMode::Save;
    QString initialFolder;
    QString title;
    // Pairs of description and pattern separated by "|", e.g. "CSV (*.csv)|*.csv|All files|*".
    QString filter;
    // The name proposed, and after an accepted dialog the name chosen.
    QString fileName;

    // Shows the modal save dialog. On accept fileName holds the chosen path; on cancel it is
    // unchanged and the result is DialogCancelled.
    Status showSave(QWidget* owner = nullptr);
    // The same as an open dialog: it lists existing files and accepts only one of them.
    Status showOpen(QWidget* owner = nullptr);
    // The same for an existing folder, which fileName then names.
    Status showFolder(QWidget* owner = nullptr);

private:
    Status show(FileDialogMode shownMode, QWidget* owner);
};

// Stands in for the user: returns the chosen path, or nullopt for "the user cancelled".
using FileDialogHandler = std::function<std::optional<QString>(const FileDialog&)>;
// An empty handler restores the real dialog. Returns the previous handler.
FileDialogHandler setFileDialogHandler(FileDialogHandler handler);

}  // namespace varnex
