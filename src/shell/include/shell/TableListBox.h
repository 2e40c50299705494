#pragma once
// The main window's drop-down list of tables. A choice made in the open list (or by any other
// way that activates an entry) is passed on at once; moving through the closed list with the
// keyboard or the mouse wheel passes a choice on only once it has rested on an entry for
// kRestMs, or the list loses the focus, or its list is opened and closed: passing over tables
// loads none of them.

#include <QComboBox>
#include <QTimer>

namespace varnex {

class TableListBox : public QComboBox {
    Q_OBJECT
public:
    static constexpr int kRestMs = 300;

    explicit TableListBox(QWidget* parent = nullptr);

    // A choice is waiting for the keyboard to rest.
    bool choicePending() const { return rest_.isActive(); }
    // Waits again before passing the choice on (the window is busy now).
    void delayChoice() { rest_.start(); }
    // Forgets a waiting choice (the list is filled anew).
    void dropPendingChoice() { rest_.stop(); }

    void hidePopup() override;

signals:
    // The current entry was chosen; its table is to be shown.
    void chosen();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void activatedEntry();
    void settle();

    QTimer rest_;
    bool moving_ = false;  // a key or the wheel is being handled on the closed list
};

}  // namespace varnex
