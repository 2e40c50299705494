#pragma once
// The bar below the grid where a text is typed to find rows: every change of
// the text filters the grid; Esc clears the text and closes the bar (the main
// window passes its Esc on wherever the focus is).

#include <QFrame>

class QLabel;
class QLineEdit;

namespace varnex {

class FindBar : public QFrame {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);

    QLabel* label;
    QLineEdit* edit;

    // Shows the bar with its text selected for typing over.
    void open();
    // Clears the text, hides the bar and says so (closed).
    void dismiss();

signals:
    void textChanged(const QString& text);
    // Esc was pressed: the text is cleared already.
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace varnex
