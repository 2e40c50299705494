#include "shell/CellMetrics.h"

#include <QFontMetricsF>
#include <QStyle>
#include <QTableView>

#include <cmath>

namespace varnex {

namespace {

bool hasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

}  // namespace

int cellPadding(const QTableView& view)
{
    // The delegate keeps the focus frame's margin and one pixel more at each side.
    const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
    return 2 * margin + (view.showGrid() ? 1 : 0);
}

int cellTextWidth(const QTableView& view, const QString& text)
{
    // Glyphs are placed at fractions of a pixel; whole pixels rounded down would cut the last one.
    const QFontMetricsF metrics(view.font());
    if (!hasLineBreak(text))
        return static_cast<int>(std::ceil(metrics.horizontalAdvance(text)));
    QString oneLine = text;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return static_cast<int>(std::ceil(metrics.horizontalAdvance(oneLine)));
}

bool isCutInColumn(const QTableView& view, const QString& text, int columnWidth)
{
    return hasLineBreak(text) || cellTextWidth(view, text) + cellPadding(view) > columnWidth;
}

}  // namespace varnex
