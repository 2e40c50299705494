#pragma once
// How wide a grid cell must be to show a text whole, as the view's item
// delegate draws it: the text, a margin at either side, and the grid line.

#include <QString>

class QTableView;

namespace varnex {

// Pixels of a cell beside its text.
int cellPadding(const QTableView& view);

// Pixels the text takes in the view's font; line breaks count as blanks.
int cellTextWidth(const QTableView& view, const QString& text);

// A text that does not fit a column of that width shows only in part: it is
// wider, or has a line break (a cell shows one line).
bool isCutInColumn(const QTableView& view, const QString& text, int columnWidth);

}  // namespace varnex
