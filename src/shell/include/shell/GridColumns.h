#pragma once
// The grid's columns as its callers see them: one per field of the bound
// recordset, in field order, indexed from 0.

#include <QString>

#include <cstdint>

namespace varnex {

class DataGrid;

class GridColumn {
public:
    GridColumn(DataGrid& grid, int index) : grid_(&grid), index_(index) {}

    QString caption() const;    // the heading text
    QString dataField() const;  // the name of the field the column shows
    bool isVisible() const;
    void setVisible(bool visible);

private:
    DataGrid* grid_;
    int index_;
};

class GridColumns {
public:
    explicit GridColumns(DataGrid& grid) : grid_(&grid) {}

    int count() const;
    GridColumn item(int index) const { return GridColumn(*grid_, index); }

private:
    DataGrid* grid_;
};

}  // namespace varnex
