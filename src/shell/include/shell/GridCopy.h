#pragma once
// The selected cells of a grid as tab-separated text for the clipboard: the
// rows and visible columns that hold a selected cell, top to bottom and left to
// right (columns in the order shown); cells of that block that are not selected
// stay empty. Rows end in a line feed; a cell with a tab, line break or double
// quote is quoted, its quotes doubled. With headings, the column names come
// first, as a row of their own.
//
// A CopySelection is fixed when the copy starts and reads the rows through a
// recordset of its own, so the text can be written on another thread while the
// grid is sorted or filtered.

#include "data/Recordset.h"

#include <QStringList>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QTableView;

namespace varnex {

class CopySelection {
public:
    // Nothing to copy where no cell is selected or no recordset is given.
    CopySelection(const QTableView& view, const std::shared_ptr<Recordset>& recordset, bool withHeadings);

    bool isEmpty() const { return columns_.empty() || positions_.empty(); }
    int64_t cellCount() const;
    int64_t rowCount() const { return static_cast<int64_t>(positions_.size()); }

    // The whole text as UTF-8; empty when cancel was set before the end. rowsDone, where
    // given, counts the rows written.
    std::string text(const std::atomic<bool>* cancel = nullptr, std::atomic<int64_t>* rowsDone = nullptr) const;

private:
    struct Range {
        int top, bottom, left, right;
    };

    bool isSelected(int position, int column) const;
    void appendRow(size_t index, std::string& out) const;
    void appendHeadings(std::string& out) const;

    Recordset rows_;  // the grid's rows in load order
    std::shared_ptr<const ValueFormatter> cellText_;
    std::vector<int> positions_;    // the block's rows as the grid shows them, top to bottom
    std::vector<uint32_t> stored_;  // the same rows as stored
    std::vector<int> columns_;      // the block's visible columns, left to right
    std::vector<Range> ranges_;     // the selected cells
    QStringList headings_;
    bool withHeadings_;
};

}  // namespace varnex
