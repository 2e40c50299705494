#include "platform/MsgBox.h"

#include "platform/AppInfo.h"

#include <QApplication>
#include <QMessageBox>

namespace varnex {
namespace {

MsgBoxHandler& handlerSlot()
{
    static MsgBoxHandler handler;
    return handler;
}

QMessageBox::Icon iconFor(int style)
{
    switch (style & 0x70) {
    case msgbox::vbCritical: return QMessageBox::Critical;
    case 32: return QMessageBox::Question;
    case 48: return QMessageBox::Warning;
    case msgbox::vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

int showReal(const MsgBoxCall& call)
{
    QMessageBox box(iconFor(call.style), call.title, call.prompt, QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return msgbox::vbOK;
}

}  // namespace

MsgBoxHandler SetMsgBoxHandler(MsgBoxHandler handler)
{
    return std::exchange(handlerSlot(), std::move(handler));
}

int MsgBox(const QString& prompt, int style, const QString& title)
{
    const MsgBoxCall call{prompt, style, title.isEmpty() ? AppTitle() : title};
    if (const MsgBoxHandler& handler = handlerSlot())
        return handler(call);
    return showReal(call);
}

}  // namespace varnex
