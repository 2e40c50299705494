#pragma once
// Tooltips of a table view's cells: a cell that shows its text only in part
// (the column is too narrow, or the text has a line break) shows the whole text
// as its tooltip; a cell shown whole has none. The view's item delegate, which
// paints as the standard one does and answers the view's help events.

#include <QString>
#include <QStyledItemDelegate>

class QModelIndex;
class QTableView;

namespace varnex {

class CellToolTips : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Becomes the view's item delegate.
    explicit CellToolTips(QTableView& view);

    // The tooltip for a cell, as rich text that wraps; empty when the cell shows its text whole.
    QString toolTipFor(const QModelIndex& index) const;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    QTableView& view_;
};

}  // namespace varnex
