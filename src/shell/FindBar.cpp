#include "shell/FindBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace varnex {

FindBar::FindBar(QWidget* parent) : QFrame(parent), label(new QLabel(this)), edit(new QLineEdit(this))
{
    setObjectName(QStringLiteral("fraFind"));
    setFocusPolicy(Qt::NoFocus);
    label->setObjectName(QStringLiteral("lblFind"));
    label->setText(tr("&Find:"));
    label->setBuddy(edit);
    edit->setObjectName(QStringLiteral("txtFind"));
    edit->setClearButtonEnabled(true);
    edit->setPlaceholderText(tr("Text in any column"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->addWidget(label);
    layout->addWidget(edit, 1);
    connect(edit, &QLineEdit::textChanged, this, &FindBar::textChanged);
    hide();
}

void FindBar::open()
{
    show();
    edit->setFocus(Qt::ShortcutFocusReason);
    edit->selectAll();
}

void FindBar::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape) {
        QFrame::keyPressEvent(event);
        return;
    }
    dismiss();
    event->accept();
}

void FindBar::dismiss()
{
    edit->clear();
    hide();
    emit closed();
}

}  // namespace varnex
