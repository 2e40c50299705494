#pragma once

#include "shell/FileDialog.h"

#include <QList>
#include <QString>

#include <optional>

namespace varnex::test {

// Answers every file dialog with a fixed choice (a path, or nullopt for cancel) and records
// the dialogs as they were when shown.
class FileDialogStub {
public:
    explicit FileDialogStub(std::optional<QString> answer);
    ~FileDialogStub();
    FileDialogStub(const FileDialogStub&) = delete;
    FileDialogStub& operator=(const FileDialogStub&) = delete;

    void setAnswer(std::optional<QString> answer) { answer_ = std::move(answer); }
    const QList<FileDialog>& shown() const { return shown_; }

private:
    std::optional<QString> answer_;
    QList<FileDialog> shown_;
    FileDialogHandler previous_;
};

}  // namespace varnex::test
