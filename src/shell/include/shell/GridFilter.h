#pragma once
// The grid's rows filtered by a typed text through the recordset's filter, over
// the columns the grid shows. Over few rows the filter runs at once; over many
// it runs in the background and the grid shows its rows when it is done, a
// newer text cancelling an older one.

#include "shell/BackgroundTask.h"

#include <QObject>
#include <QString>

namespace varnex {

class DataGrid;

class GridFilter : public QObject {
    Q_OBJECT
public:
    explicit GridFilter(DataGrid& grid);

    // An empty text shows every row again.
    void setText(const QString& text);
    const QString& text() const { return text_; }
    // A recordset was bound: the text is gone with the old one.
    void reset();
    bool busy() const { return task_.busy(); }
    // Shows the rows of the current text now: a run in the background is waited for here.
    void finish();

signals:
    void applied();

private:
    void start();
    std::vector<int> shownColumns() const;

    DataGrid& grid_;
    BackgroundTask task_;
    QString text_;
};

}  // namespace varnex
