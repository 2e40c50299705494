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

}  // namespace

void installMessageBoxes()
{
    setMessageHandler(showBox);
}

}  // namespace varnex
