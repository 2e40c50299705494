#include "jetwriter/ComplexTypes.h"

#include <stdexcept>

namespace jetwriter {
namespace {

constexpr uint8_t kAttachmentExtFlags = 0x10;

ComplexTypeTable single(const char* name, Column value) { return {name, {std::move(value)}, {}}; }

ComplexTypeTable attachmentType()
{
    ComplexTypeTable table{"MSysComplexType_Attachment",
                           {{"FileURL", ColumnType::Memo}, {"FileName", ColumnType::Text, 255},
                            {"FileType", ColumnType::Text, 255}, {"FileData", ColumnType::Ole},
                            {"FileTimeStamp", ColumnType::DateTime}, {"FileFlags", ColumnType::Long}},
                           {}};
    ColumnTraits trait;
    trait.extFlags = kAttachmentExtFlags;
    table.traits.assign(table.columns.size(), trait);
    return table;
}

}  // namespace

const std::vector<ComplexTypeTable>& standardComplexTypes()
{
    static const std::vector<ComplexTypeTable> types = {
        single("MSysComplexType_UnsignedByte", {"Value", ColumnType::Byte}),
        single("MSysComplexType_Short", {"Value", ColumnType::Integer}),
        single("MSysComplexType_Long", {"Value", ColumnType::Long}),
        single("MSysComplexType_IEEESingle", {"Value", ColumnType::Single}),
        single("MSysComplexType_IEEEDouble", {"Value", ColumnType::Double}),
        single("MSysComplexType_GUID", {"Value", ColumnType::Guid}),
        single("MSysComplexType_Decimal", {"Value", ColumnType::Decimal}),
        single("MSysComplexType_Text", {"Value", ColumnType::Text, 255}),
        attachmentType(),
    };
    return types;
}

size_t multiValueTypeIndex(ColumnType valueType)
{
    switch (valueType) {
    case ColumnType::Byte: return 0;
    case ColumnType::Integer: return 1;
    case ColumnType::Long: return 2;
    case ColumnType::Single: return 3;
    case ColumnType::Double: return 4;
    case ColumnType::Text: return 7;
    default: throw std::runtime_error("multi-value columns hold Byte, Integer, Long, Single, Double or Text");
    }
}

size_t attachmentTypeIndex() { return 8; }

ComplexTypeTable versionHistoryType(const std::string& hexId, const std::string& memoColumn)
{
    return {"MSysComplexTypeVH_" + hexId, {{memoColumn, ColumnType::Memo}, {kVersionModifiedColumn, ColumnType::DateTime}}, {}};
}

}  // namespace jetwriter
