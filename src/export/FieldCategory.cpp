#include "export/FieldCategory.h"

namespace varnex {

FieldCategory fieldCategory(int16_t fieldType)
{
    switch (fieldType) {
    case 2:    // SmallInt
    case 3:    // Integer
    case 4:    // Single
    case 5:    // Double
    case 6:    // Currency
    case 14:   // Decimal
    case 16:   // TinyInt
    case 17:   // UnsignedTinyInt
    case 18:   // UnsignedSmallInt
    case 19:   // UnsignedInt
    case 20:   // BigInt
    case 21:   // UnsignedBigInt
    case 72:   // GUID: written bare, like the numbers
    case 128:  // Binary
    case 131:  // Numeric
    case 204:  // VarBinary
    case 205:  // LongVarBinary
        return FieldCategory::Numeric;
    case 8:    // BSTR
    case 129:  // Char
    case 130:  // WChar
    case 200:  // VarChar
    case 201:  // LongVarChar
    case 202:  // VarWChar
    case 203:  // LongVarWChar
        return FieldCategory::Text;
    case 7:    // Date
    case 133:  // DBDate
    case 134:  // DBTime
    case 135:  // DBTimeStamp
        return FieldCategory::DateTime;
    case 11:   // Boolean
        return FieldCategory::Boolean;
    default:
        return FieldCategory::Other;
    }
}

}  // namespace varnex
