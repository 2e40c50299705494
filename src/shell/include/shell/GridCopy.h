#pragma once
// Selected cells of a table view as tab-separated text, for the clipboard.

#include <QString>

class QTableView;

namespace varnex {

// The rows and visible columns that hold a selected cell, top to bottom and
// left to right; cells that are not selected inside that block stay empty.
// Rows end in a line feed; a cell with a tab, line break or quote is quoted.
QString selectionAsTabText(const QTableView& view);

}  // namespace varnex
