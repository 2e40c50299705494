#include "shell/TableListBox.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QWheelEvent>

namespace varnex {

TableListBox::TableListBox(QWidget* parent) : QComboBox(parent)
{
    rest_.setSingleShot(true);
    rest_.setInterval(kRestMs);
    connect(&rest_, &QTimer::timeout, this, &TableListBox::chosen);
    connect(this, &QComboBox::activated, this, &TableListBox::activatedEntry);
}

void TableListBox::activatedEntry()
{
    if (moving_) {
        rest_.start();
        return;
    }
    rest_.stop();
    emit chosen();
}

void TableListBox::settle()
{
    if (!rest_.isActive())
        return;
    rest_.stop();
    emit chosen();
}

// The closed list moves its current entry on keys and the wheel, activating each entry it passes.
void TableListBox::keyPressEvent(QKeyEvent* event)
{
    moving_ = true;
    QComboBox::keyPressEvent(event);
    moving_ = false;
}

void TableListBox::wheelEvent(QWheelEvent* event)
{
    moving_ = true;
    QComboBox::wheelEvent(event);
    moving_ = false;
}

void TableListBox::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    // Opening the list takes the focus to it for a while; the choice settles when it closes.
    if (event->reason() != Qt::PopupFocusReason)
        settle();
}

void TableListBox::hidePopup()
{
    QComboBox::hidePopup();
    settle();
}

}  // namespace varnex
