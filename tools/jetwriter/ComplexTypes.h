#pragma once
// The template tables of complex data (ACE): MSysComplexType_* for attachments and multi-value columns,
// which every ACE database carries (empty), and one MSysComplexTypeVH_<hex> per version-history column.

#include "jetwriter/TableLayout.h"

#include <string>
#include <vector>

namespace jetwriter {

struct ComplexTypeTable {
    std::string name;
    std::vector<Column> columns;
    std::vector<ColumnTraits> traits;
};

// Catalogue flags: system (0x80000000) with 0x30000 for template tables, 0xA0000 for the value tables.
constexpr int64_t kComplexTypeFlags = static_cast<int32_t>(0x80030000u);
constexpr int64_t kComplexValueFlags = static_cast<int32_t>(0x800A0000u);

// The name of the date column of every version-history table.
inline constexpr const char* kVersionModifiedColumn = "Modified_F9B5E312-4155-4c59-9AAE-391C1B295827";

// UnsignedByte, Short, Long, IEEESingle, IEEEDouble, GUID, Decimal, Text, Attachment, in Access's order.
const std::vector<ComplexTypeTable>& standardComplexTypes();

// The standard type table a multi-value column of this value type uses; throws for types without one.
size_t multiValueTypeIndex(ColumnType valueType);
size_t attachmentTypeIndex();

ComplexTypeTable versionHistoryType(const std::string& hexId, const std::string& memoColumn);

}  // namespace jetwriter
