#include "browser/GridColumns.h"

#include "browser/DataGrid.h"
#include "browser/RecordsetModel.h"

#include <QHeaderView>

namespace varnex {

QString GridColumn::Caption() const
{
    return grid_->model()->headerData(index_, Qt::Horizontal).toString();
}

QString GridColumn::DataField() const
{
    return grid_->recordsetModel().fieldName(index_);
}

bool GridColumn::Visible() const
{
    return !grid_->isColumnHidden(index_);
}

void GridColumn::setVisible(bool visible)
{
    grid_->setColumnHidden(index_, !visible);
}

int16_t GridColumns::Count() const
{
    return static_cast<int16_t>(grid_->recordsetModel().columnCount());
}

}  // namespace varnex
