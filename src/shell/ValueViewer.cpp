#include "shell/ValueViewer.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

namespace varnex {

namespace {
// A text layout of one line costs time in its length: longer lines are broken for showing.
constexpr qsizetype kLongestShownLine = 4096;
// Characters put into the window at a time; the first part at once, the rest as the window idles.
constexpr qsizetype kCharactersPerPart = 128 * 1024;

QString sizeText(const ShownValue& value)
{
    const QString count = QLocale().toString(static_cast<qlonglong>(value.size));
    if (value.binary)
        return value.size == 1 ? QCoreApplication::translate("ValueViewer", "1 byte") : QCoreApplication::translate("ValueViewer", "%1 bytes").arg(count);
    return value.size == 1 ? QCoreApplication::translate("ValueViewer", "1 character") : QCoreApplication::translate("ValueViewer", "%1 characters").arg(count);
}

}  // namespace

QString textForShowing(const QString& text, qsizetype longest)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QString shown;
    shown.reserve(lines.size() + lines.size() / longest);
    qsizetype lineStart = 0;
    for (qsizetype at = 0; at < lines.size(); ++at) {
        if (lines[at] == QLatin1Char('\n')) {
            lineStart = shown.size() + 1;
        } else if (shown.size() - lineStart >= longest) {
            const qsizetype blank = QStringView(shown).mid(lineStart).lastIndexOf(QLatin1Char(' '));
            const qsizetype breakAt = blank > 0 ? lineStart + blank + 1 : shown.size();
            shown.insert(breakAt, QLatin1Char('\n'));
            lineStart = breakAt + 1;
        }
        shown += lines[at];
    }
    return shown;
}

ValueViewer::ValueViewer(ShownValue value, QWidget* parent)
    : QDialog(parent), value_(std::move(value)), text_(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("dlgValue"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("%1 (%2)").arg(value_.columnName, value_.typeName));
    setSizeGripEnabled(true);

    text_->setObjectName(QStringLiteral("txtValue"));
    text_->setReadOnly(true);
    text_->setUndoRedoEnabled(false);
    if (value_.binary) {
        text_->setLineWrapMode(QPlainTextEdit::NoWrap);
        text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    } else {
        text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    }

    auto* size = new QLabel(sizeText(value_), this);
    size->setObjectName(QStringLiteral("lblSize"));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* copy = buttons->addButton(QStringLiteral("&Copy"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("cmdCopy"));
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(copy, &QPushButton::clicked, this, &ValueViewer::copyValue);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(size);
    layout->addWidget(buttons);
    resize(640, 420);

    display_ = value_.binary ? value_.text : textForShowing(value_.text, kLongestShownLine);
    showNextPart();
}

void ValueViewer::showNextPart()
{
    qsizetype end = std::min(shownUpTo_ + kCharactersPerPart, display_.size());
    if (end < display_.size()) {
        // A part ends after a line, where one ends near enough, so that no line is laid out twice.
        const qsizetype lineEnd = display_.lastIndexOf(QLatin1Char('\n'), end - 1);
        if (lineEnd >= shownUpTo_ + kCharactersPerPart / 2)
            end = lineEnd + 1;
    }
    QTextCursor cursor(text_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(display_.mid(shownUpTo_, end - shownUpTo_));
    shownUpTo_ = end;
    if (!isComplete())
        QTimer::singleShot(0, this, &ValueViewer::showNextPart);
}

void ValueViewer::copyValue() const
{
    QGuiApplication::clipboard()->setText(value_.text);
}

}  // namespace varnex
