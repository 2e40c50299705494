#include "shell/GridColumns.h"

#include "shell/DataGrid.h"
#include "shell/RecordsetModel.h"

#include <QHeaderView>

namespace varnex {

QString GridColumn::caption() const
{
    return grid_->model()->headerData(index_, Qt::Horizontal).toString();
}

QString GridColumn::dataField() const
{
    return grid_->recordsetModel().fieldName(index_);
}

bool GridColumn::isVisible() const
{
    return !grid_->isColumnHidden(index_);
}

void GridColumn::setVisible(bool visible)
{
    grid_->setColumnHidden(index_, !visible);
}

int GridColumns::count() const
{
    return grid_->recordsetModel().columnCount();
}

}  // namespace varnex
