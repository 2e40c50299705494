#include "shell/ExportProgressDialog.h"

#include "core/Application.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace varnex {

namespace {
constexpr int kSteps = 1000;
}

ExportProgressDialog::ExportProgressDialog(QWidget* owner, std::chrono::milliseconds showAfter)
    : owner_(owner), showAfter_(showAfter)
{
    clock_.start();
}

ExportProgressDialog::~ExportProgressDialog() = default;

bool ExportProgressDialog::keepGoing(int64_t recordsWritten, int64_t recordCount)
{
    if (!dialog_) {
        if (clock_.elapsed() < showAfter_.count())
            return true;
        show();
    }
    const int64_t step = recordCount > 0 ? recordsWritten * kSteps / recordCount : kSteps;
    // A modal progress dialog handles pending events in setValue, Cancel included.
    dialog_->setValue(static_cast<int>(step));
    return !dialog_->wasCanceled();
}

void ExportProgressDialog::show()
{
    dialog_ = std::make_unique<QProgressDialog>(QCoreApplication::translate("ExportProgressDialog", "Exporting records..."),
                                                QCoreApplication::translate("ExportProgressDialog", "Cancel"), 0,
                                                kSteps, owner_);
    dialog_->setObjectName(QStringLiteral("dlgExportProgress"));
    dialog_->setWindowTitle(appTitle());
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setValue(0);
    dialog_->show();
}

}  // namespace varnex
