#pragma once
// A file dialog used through a handful of properties, one instance per window.

#include "platform/Error.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace varnex {

class CommonDialog {
public:
    QString InitDir;
    QString DialogTitle;
    // Pairs of description and pattern separated by "|", e.g. "CSV (*.csv)|*.csv|All files|*".
    QString Filter;
    QString FileName;
    bool CancelError = false;

    // Shows the modal save dialog. On accept FileName holds the chosen path; on cancel
    // FileName is unchanged and, with CancelError set, the result is error 32755.
    Status ShowSave(QWidget* owner = nullptr);
};

// Stands in for the user: returns the chosen path, or nullopt for "the user cancelled".
using FileDialogHandler = std::function<std::optional<QString>(const CommonDialog&)>;
// An empty handler restores the real dialog. Returns the previous handler.
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);

}  // namespace varnex
