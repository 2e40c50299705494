#include "export/FieldCategory.h"

namespace varnex {

FieldCategory fieldCategory(FieldType fieldType)
{
    switch (fieldType) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::Single:
    case FieldType::Double:
    case FieldType::Currency:
    case FieldType::Decimal:
    case FieldType::TinyInt:
    case FieldType::UnsignedTinyInt:
    case FieldType::UnsignedSmallInt:
    case FieldType::UnsignedInt:
    case FieldType::BigInt:
    case FieldType::UnsignedBigInt:
    case FieldType::GUID:  // written bare, like the numbers
    case FieldType::Binary:
    case FieldType::Numeric:
    case FieldType::VarBinary:
    case FieldType::LongVarBinary:
        return FieldCategory::Numeric;
    case FieldType::BSTR:
    case FieldType::Char:
    case FieldType::WChar:
    case FieldType::VarChar:
    case FieldType::LongVarChar:
    case FieldType::VarWChar:
    case FieldType::LongVarWChar:
        return FieldCategory::Text;
    case FieldType::Date:
    case FieldType::DBDate:
    case FieldType::DBTime:
    case FieldType::DBTimeStamp:
        return FieldCategory::DateTime;
    case FieldType::Boolean:
        return FieldCategory::Boolean;
    default:
        return FieldCategory::Other;
    }
}

}  // namespace varnex
