#pragma once
// Field type codes as the Jet OLE DB provider reports them.

#include <cstdint>

namespace varnex {

// The values are the provider's codes: they cross the reader protocol as they are (see
// ReaderProtocol.h), and a code this program does not know stays what it was.
enum class FieldType : int16_t {
    // A column of a type this program does not read: each value is kept as its byte count in the file
    // (32-bit), ColumnInfo::storedType names the type; shown as a placeholder, exported empty.
    Unsupported = 0,
    SmallInt = 2,          // Integer
    Integer = 3,           // Long Integer
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    Boolean = 11,          // Yes/No
    UnsignedTinyInt = 17,  // Byte
    BigInt = 20,           // Large Number (.accdb)
    GUID = 72,             // Replication ID
    Binary = 128,
    Numeric = 131,         // Decimal
    DBTimeStamp = 135,     // Date/Time Extended (.accdb)
    VarWChar = 202,        // Text
    LongVarWChar = 203,    // Memo
    VarBinary = 204,
    LongVarBinary = 205,   // OLE Object
    // Codes of the same family that no column read here has; only the export's categories name them.
    BSTR = 8,
    Decimal = 14,
    TinyInt = 16,
    UnsignedSmallInt = 18,
    UnsignedInt = 19,
    UnsignedBigInt = 21,
    Char = 129,
    WChar = 130,
    DBDate = 133,
    DBTime = 134,
    VarChar = 200,
    LongVarChar = 201,
};

}  // namespace varnex
