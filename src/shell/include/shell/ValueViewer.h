#pragma once
// A read-only window with one value whole: long text wrapped, binary as a hex
// dump, the column's name and type in its title, and a button that copies the
// value. A long value is put into the window a part at a time, so that the
// window opens and answers at once; lines longer than a few thousand
// characters are broken for showing (Copy copies the value as it is).

#include "shell/ShownValue.h"

#include <QDialog>

class QPlainTextEdit;

namespace varnex {

class ValueViewer : public QDialog {
    Q_OBJECT
public:
    explicit ValueViewer(ShownValue value, QWidget* parent = nullptr);

    const ShownValue& value() const { return value_; }
    // True once the whole value is in the window.
    bool isComplete() const { return shownUpTo_ >= display_.size(); }
    void copyValue() const;

private:
    void showNextPart();

    ShownValue value_;
    QString display_;  // the text as laid out: line breaks made plain, long lines broken
    qsizetype shownUpTo_ = 0;
    QPlainTextEdit* text_;
};

// The text with CR LF and lone CR made LF, and lines longer than longest broken
// after their last blank within that length (else at it).
QString textForShowing(const QString& text, qsizetype longest);

}  // namespace varnex
