#include "shell/LoadProgressDialog.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>

namespace varnex {

namespace {
constexpr int kSteps = 1000;
constexpr qint64 kRepaintIntervalMs = 30;  // below the reader's polling slice: every call repaints
}  // namespace

LoadProgressDialog::LoadProgressDialog(QWidget* owner, QString tableName, int delayMs)
    : owner_(owner), tableName_(std::move(tableName)), delayMs_(delayMs)
{
    elapsed_.start();
}

LoadProgressDialog::~LoadProgressDialog() = default;

LoadProgress LoadProgressDialog::callback()
{
    return [this](int64_t rowsRead, int64_t rowCount) { return update(rowsRead, rowCount); };
}

bool LoadProgressDialog::update(int64_t rowsRead, int64_t rowCount)
{
    if (cancelled_)
        return false;
    if (!dialog_ && elapsed_.elapsed() >= delayMs_)
        showDialog();
    if (lastRepaintMs_ >= 0 && elapsed_.elapsed() - lastRepaintMs_ < kRepaintIntervalMs)
        return true;
    lastRepaintMs_ = elapsed_.elapsed();
    if (!dialog_) {
        // Until the dialog shows, the window repaints and its timers run; input waits for the load's end.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return true;
    }

    const int step = rowCount > 0 ? static_cast<int>(std::min<int64_t>(rowsRead, rowCount) * kSteps / rowCount) : 0;
    // A modal progress dialog processes pending events on every new value;
    // the cancel button is read from there.
    if (step != dialog_->value())
        dialog_->setValue(step);
    else
        QCoreApplication::processEvents();
    if (dialog_->wasCanceled())
        cancelled_ = true;
    return !cancelled_;
}

void LoadProgressDialog::showDialog()
{
    dialog_ = std::make_unique<QProgressDialog>(QCoreApplication::translate("LoadProgressDialog", "Loading %1 ...").arg(tableName_),
                                                QCoreApplication::translate("LoadProgressDialog", "Cancel"), 0, kSteps, owner_);
    dialog_->setObjectName(QStringLiteral("dlgLoadProgress"));
    dialog_->setWindowTitle(owner_ != nullptr ? owner_->windowTitle() : QString());
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    dialog_->setValue(0);
    dialog_->show();
    shownOnce_ = true;
    QCoreApplication::processEvents();
}

}  // namespace varnex
