#pragma once
// A column as a read plans it.

#include "RowDecoder.h"
#include "store/DatabaseSchema.h"

namespace varnex::reader {

struct PlannedColumn {
    ColumnInfo info;       // what it is delivered as
    ColumnSource source;   // where its values come from
    ValuesKind values = ValuesKind::None;  // a complex column whose values can go to a table of their own
};

}  // namespace varnex::reader
