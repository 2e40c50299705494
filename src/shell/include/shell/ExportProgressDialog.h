#pragma once

#include "export/ExportProgress.h"

#include <QElapsedTimer>

#include <chrono>
#include <memory>

class QProgressDialog;
class QWidget;

namespace varnex {

// Shows a modal progress dialog with Cancel once an export has run for longer
// than showAfter; short exports never show it.
class ExportProgressDialog : public ExportProgress {
public:
    explicit ExportProgressDialog(QWidget* owner, std::chrono::milliseconds showAfter = std::chrono::milliseconds(500));
    ~ExportProgressDialog() override;

    bool keepGoing(int64_t recordsWritten, int64_t recordCount) override;

private:
    void show();

    QWidget* owner_;
    std::chrono::milliseconds showAfter_;
    QElapsedTimer clock_;
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace varnex
