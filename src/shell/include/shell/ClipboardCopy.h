#pragma once
// Puts a grid's selected cells on the clipboard. A copy of up to
// kCellsCopiedAtOnce cells is done at once; a larger one is written in the
// background under a progress dialog whose Cancel leaves the clipboard as it
// was. The text goes to the clipboard as UTF-8 bytes, without a second copy.

#include "shell/BackgroundTask.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class QProgressDialog;
class QWidget;

namespace varnex {

class CopySelection;

class ClipboardCopy : public QObject {
    Q_OBJECT
public:
    static constexpr int64_t kCellsCopiedAtOnce = 100000;

    explicit ClipboardCopy(QWidget& owner);
    ~ClipboardCopy() override;

    void copy(std::shared_ptr<const CopySelection> selection);
    bool busy() const { return task_.busy(); }

private:
    void showProgress(int64_t rowCount);
    void endProgress();

    QWidget& owner_;
    BackgroundTask task_;
    std::unique_ptr<QProgressDialog> dialog_;
    std::shared_ptr<std::atomic<int64_t>> rowsDone_;
    int64_t rowCount_ = 0;
    QTimer ticker_;
};

// Replaces the clipboard's contents with the text (UTF-8).
void setClipboardText(std::string text);

}  // namespace varnex
