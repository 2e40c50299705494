#include "shell/CellToolTips.h"

#include "shell/CellMetrics.h"

#include <QHelpEvent>
#include <QTableView>
#include <QTextDocument>
#include <QToolTip>

namespace varnex {

namespace {
// Longer texts are cut here: the value viewer shows them whole.
constexpr qsizetype kMostToolTipCharacters = 2000;
}  // namespace

CellToolTips::CellToolTips(QTableView& view) : QStyledItemDelegate(&view), view_(view)
{
    view_.setItemDelegate(this);
}

QString CellToolTips::toolTipFor(const QModelIndex& index) const
{
    if (!index.isValid())
        return {};
    const QString text = index.data().toString();
    if (text.isEmpty() || !isCutInColumn(view_, text, view_.columnWidth(index.column())))
        return {};
    QString shown = text.left(kMostToolTipCharacters);
    if (shown.size() < text.size())
        shown += QChar(0x2026);  // an ellipsis
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return Qt::convertFromPlainText(shown, Qt::WhiteSpaceNormal);
}

bool CellToolTips::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                             const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString tip = toolTipFor(index);
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), tip, view->viewport(), option.rect);
    return true;
}

}  // namespace varnex
