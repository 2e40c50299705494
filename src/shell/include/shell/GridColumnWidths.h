#pragma once
// The widths of the grid's columns. A table just shown gets widths from each
// column's type and a sample of its rows spread over the whole table: a column
// of numbers, dates or other values of a fixed size is never cut, a text or
// binary column takes at most a share of the grid's width. Once the texts of
// every row are known (GridProfiler) the fixed-size columns widen to their
// longest. A width the user sets by dragging is kept for that table until a
// table of another database is shown.

#include "data/ColumnTextProfile.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class QTableView;

namespace varnex {

class Recordset;

// Which table of which database a grid shows.
struct TableKey {
    QString database;
    QString table;
};

// Positions of up to count rows of a table of rowCount: all of them, or a third
// from its beginning, a third from its end and a third evenly between.
std::vector<int64_t> samplePositions(int64_t rowCount, int count);

class GridColumnWidths : public QObject {
    Q_OBJECT
public:
    explicit GridColumnWidths(QTableView& view);

    // Before the grid binds another recordset: its columns are no longer the ones known here.
    void forgetColumns();
    void fitNewTable(const Recordset* recordset, const TableKey& key);
    void widenToLongest(const ColumnTextProfiles& profiles);
    bool isSetByUser(int column) const;

private:
    int sampledWidth(const Recordset& recordset, int column, int cap) const;
    void setWidth(int column, int width);
    void rememberUserWidth(int column, int width);

    QTableView& view_;
    QString database_;
    QString table_;
    QStringList columnNames_;
    std::vector<bool> fixedSize_;
    QHash<QString, QHash<QString, int>> userWidths_;  // by table, then by column name
    bool settingWidths_ = false;
};

}  // namespace varnex
