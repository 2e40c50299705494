#include "shell/ClipboardCopy.h"

#include "core/Application.h"
#include "shell/GridCopy.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QProgressDialog>
#include <QWidget>

namespace varnex {

namespace {
constexpr int kSteps = 1000;
constexpr int kTickMs = 100;
}  // namespace

namespace {

// Plain text whose bytes the clipboard reads where they are, kept as long as the clipboard holds it.
class Utf8Text : public QMimeData {
public:
    explicit Utf8Text(std::string text) : text_(std::move(text))
    {
        const QByteArray bytes = QByteArray::fromRawData(text_.data(), static_cast<qsizetype>(text_.size()));
        setData(QStringLiteral("text/plain;charset=utf-8"), bytes);
        setData(QStringLiteral("text/plain"), bytes);
    }

private:
    std::string text_;
};

}  // namespace

void setClipboardText(std::string text)
{
    QGuiApplication::clipboard()->setMimeData(new Utf8Text(std::move(text)));
}

ClipboardCopy::ClipboardCopy(QWidget& owner) : QObject(&owner), owner_(owner)
{
    ticker_.setInterval(kTickMs);
    connect(&ticker_, &QTimer::timeout, this, [this] {
        if (dialog_ && rowsDone_ && rowCount_ > 0)
            dialog_->setValue(static_cast<int>(rowsDone_->load() * kSteps / rowCount_));
    });
}

ClipboardCopy::~ClipboardCopy() = default;

void ClipboardCopy::copy(std::shared_ptr<const CopySelection> selection)
{
    if (!selection || selection->isEmpty())
        return;
    if (selection->cellCount() <= kCellsCopiedAtOnce) {
        setClipboardText(selection->text());
        return;
    }
    rowsDone_ = std::make_shared<std::atomic<int64_t>>(0);
    showProgress(selection->rowCount());
    auto rowsDone = rowsDone_;
    task_.start([this, selection, rowsDone](const std::atomic<bool>& cancelled) -> BackgroundTask::Finish {
        auto text = std::make_shared<std::string>(selection->text(&cancelled, rowsDone.get()));
        if (cancelled)
            return {};
        return [this, text] {
            endProgress();
            setClipboardText(std::move(*text));
        };
    });
}

void ClipboardCopy::showProgress(int64_t rowCount)
{
    rowCount_ = rowCount;
    dialog_ = std::make_unique<QProgressDialog>(tr("Copying cells..."), tr("Cancel"), 0, kSteps,
                                                &owner_);
    dialog_->setObjectName(QStringLiteral("dlgCopyProgress"));
    dialog_->setWindowTitle(appTitle());
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    connect(dialog_.get(), &QProgressDialog::canceled, this, [this] {
        task_.cancel();
        endProgress();
    });
    dialog_->setValue(0);
    dialog_->show();
    ticker_.start();
}

void ClipboardCopy::endProgress()
{
    ticker_.stop();
    if (dialog_) {
        dialog_->hide();
        dialog_.release()->deleteLater();  // may be inside its own canceled signal
    }
}

}  // namespace varnex
