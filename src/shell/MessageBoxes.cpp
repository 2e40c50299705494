#include "shell/MessageBoxes.h"

#include "core/Messages.h"

#include <QApplication>
#include <QMessageBox>

namespace varnex {
namespace {

QMessageBox::Icon iconFor(MessageStyle style)
{
    switch (style) {
    case MessageStyle::Critical: return QMessageBox::Critical;
    case MessageStyle::Information: return QMessageBox::Information;
    case MessageStyle::Question: return QMessageBox::Question;
    case MessageStyle::Plain: break;
    }
    return QMessageBox::NoIcon;
}

void showBox(const Message& message)
{
    QMessageBox box(iconFor(message.style), message.title, message.text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

// Yes and No; No is the default button, and Esc answers No.
bool askWithBox(const Message& question)
{
    QMessageBox box(QMessageBox::Question, question.title, question.text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("dlgQuestion"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace

void installMessageBoxes()
{
    setMessageHandler(showBox);
    setQuestionHandler(askWithBox);
}

}  // namespace varnex
