#include "shell/GridCopy.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>
#include <utility>
#include <vector>

namespace varnex {

namespace {

using Span = std::pair<int, int>;  // first and last index, inclusive

// Sorted, merged spans of the row ranges of a selection.
std::vector<Span> selectedRowSpans(const QItemSelection& selection)
{
    std::vector<Span> spans;
    for (const QItemSelectionRange& range : selection)
        spans.emplace_back(range.top(), range.bottom());
    std::sort(spans.begin(), spans.end());
    std::vector<Span> merged;
    for (const Span& span : spans) {
        if (!merged.empty() && span.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, span.second);
        else
            merged.push_back(span);
    }
    return merged;
}

std::vector<int> selectedVisibleColumns(const QTableView& view, const QItemSelection& selection)
{
    std::vector<int> columns;
    for (const QItemSelectionRange& range : selection)
        for (int c = range.left(); c <= range.right(); ++c)
            if (!view.isColumnHidden(c))
                columns.push_back(c);
    std::sort(columns.begin(), columns.end(), [&view](int a, int b) {
        return view.horizontalHeader()->visualIndex(a) < view.horizontalHeader()->visualIndex(b);
    });
    columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
    return columns;
}

// A cell holding a tab, line break or quote is quoted, as spreadsheets expect on paste.
QString clipboardCell(const QString& text)
{
    if (!text.contains(QLatin1Char('\t')) && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) &&
        !text.contains(QLatin1Char('"')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool cellSelected(const QItemSelection& selection, int row, int column)
{
    return std::any_of(selection.begin(), selection.end(), [&](const QItemSelectionRange& range) {
        return row >= range.top() && row <= range.bottom() && column >= range.left() && column <= range.right();
    });
}

}  // namespace

QString selectionAsTabText(const QTableView& view)
{
    if (view.model() == nullptr || view.selectionModel() == nullptr)
        return {};
    const QItemSelection selection = view.selectionModel()->selection();
    const std::vector<int> columns = selectedVisibleColumns(view, selection);
    if (columns.empty())
        return {};

    const QAbstractItemModel& model = *view.model();
    QString text;
    for (const Span& span : selectedRowSpans(selection)) {
        for (int row = span.first; row <= span.second; ++row) {
            bool first = true;
            for (int column : columns) {
                if (!first)
                    text += QLatin1Char('\t');
                first = false;
                if (cellSelected(selection, row, column))
                    text += clipboardCell(model.index(row, column).data().toString());
            }
            text += QLatin1Char('\n');
        }
    }
    return text;
}

}  // namespace varnex
