#include "shell/GridCopy.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>
#include <utility>

namespace varnex {

namespace {

using Span = std::pair<int, int>;  // first and last index, inclusive

// Cancelling is noticed, and progress counted, after this many rows.
constexpr size_t kRowsBetweenChecks = 1024;

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
void quoteFrom(std::string& out, size_t start)
{
    if (out.find_first_of("\t\n\r\"", start) == std::string::npos)
        return;
    std::string quoted = "\"";
    for (size_t at = start; at < out.size(); ++at) {
        quoted += out[at];
        if (out[at] == '"')
            quoted += '"';
    }
    quoted += '"';
    out.replace(start, std::string::npos, quoted);
}

}  // namespace

CopySelection::CopySelection(const QTableView& view, const std::shared_ptr<Recordset>& recordset, bool withHeadings)
    : cellText_(ValueFormatter::forDefaultLocale()), withHeadings_(withHeadings)
{
    if (!recordset || !recordset->isOpen() || view.selectionModel() == nullptr)
        return;
    const QItemSelection selection = view.selectionModel()->selection();
    columns_ = selectedVisibleColumns(view, selection);
    if (columns_.empty())
        return;
    for (const QItemSelectionRange& range : selection)
        ranges_.push_back({range.top(), range.bottom(), range.left(), range.right()});
    for (const Span& span : selectedRowSpans(selection)) {
        for (int position = span.first; position <= span.second; ++position) {
            const int64_t stored = recordset->storedRow(position);
            if (stored < 0)
                continue;
            positions_.push_back(position);
            stored_.push_back(static_cast<uint32_t>(stored));
        }
    }
    for (int column : columns_)
        headings_.append(recordset->columnName(column));
    rows_.openOver(recordset->loadedRows());
}

int64_t CopySelection::cellCount() const
{
    return rowCount() * static_cast<int64_t>(columns_.size());
}

bool CopySelection::isSelected(int position, int column) const
{
    return std::any_of(ranges_.begin(), ranges_.end(), [&](const Range& range) {
        return position >= range.top && position <= range.bottom && column >= range.left && column <= range.right;
    });
}

void CopySelection::appendHeadings(std::string& out) const
{
    bool first = true;
    for (const QString& heading : headings_) {
        if (!first)
            out += '\t';
        first = false;
        const size_t start = out.size();
        out += heading.toStdString();
        quoteFrom(out, start);
    }
    out += '\n';
}

void CopySelection::appendRow(size_t index, std::string& out) const
{
    const bool wholeBlock = ranges_.size() == 1;  // one range is the whole block
    bool first = true;
    for (const int column : columns_) {
        if (!first)
            out += '\t';
        first = false;
        if (!wholeBlock && !isSelected(positions_[index], column))
            continue;
        const size_t start = out.size();
        rows_.appendCellTextUtf8(stored_[index], column, *cellText_, out);
        quoteFrom(out, start);
    }
    out += '\n';
}

std::string CopySelection::text(const std::atomic<bool>* cancel, std::atomic<int64_t>* rowsDone) const
{
    std::string out;
    if (isEmpty())
        return out;
    if (withHeadings_)
        appendHeadings(out);
    for (size_t index = 0; index < positions_.size(); ++index) {
        if (index % kRowsBetweenChecks == 0) {
            if (cancel && cancel->load(std::memory_order_relaxed))
                return {};
            if (rowsDone)
                rowsDone->store(static_cast<int64_t>(index), std::memory_order_relaxed);
        }
        appendRow(index, out);
    }
    return out;
}

}  // namespace varnex
