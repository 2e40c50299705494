#pragma once
// Tooltips of a table view's cells: a cell that shows its text only in part
// (the column is too narrow, or the text has a line break) shows the whole text
// as its tooltip; a cell shown whole has none.

#include <QObject>
#include <QString>

class QModelIndex;
class QTableView;

namespace varnex {

class CellToolTips : public QObject {
    Q_OBJECT
public:
    // Installs itself on the view's viewport.
    explicit CellToolTips(QTableView& view);

    // The tooltip for a cell, as rich text that wraps; empty when the cell shows its text whole.
    QString toolTipFor(const QModelIndex& index) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableView& view_;
};

}  // namespace varnex
