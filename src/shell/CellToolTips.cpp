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

CellToolTips::CellToolTips(QTableView& view) : QObject(&view), view_(view)
{
    view_.viewport()->installEventFilter(this);
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

bool CellToolTips::eventFilter(QObject* watched, QEvent* event)
{
    // The type first: the viewport has events while the view is being destroyed, when the view is none to ask.
    if (event->type() != QEvent::ToolTip || watched != view_.viewport())
        return QObject::eventFilter(watched, event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = view_.indexAt(help->pos());
    const QString tip = toolTipFor(index);
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, view_.viewport(), view_.visualRect(index));
    return true;
}

}  // namespace varnex
