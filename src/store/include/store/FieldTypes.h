#pragma once
// Field type codes as the Jet OLE DB provider reports them.

#include <cstdint>

namespace varnex {

namespace fieldtype {
// A column of a type this program does not read: each value is kept as its byte count in the file
// (32-bit), ColumnInfo::storedType names the type; shown as a placeholder, exported empty.
inline constexpr int16_t Unsupported = 0;
inline constexpr int16_t SmallInt = 2;        // Integer
inline constexpr int16_t Integer = 3;         // Long Integer
inline constexpr int16_t Single = 4;
inline constexpr int16_t Double = 5;
inline constexpr int16_t Currency = 6;
inline constexpr int16_t Date = 7;
inline constexpr int16_t Boolean = 11;        // Yes/No
inline constexpr int16_t BigInt = 20;         // Large Number (.accdb)
inline constexpr int16_t GUID = 72;           // Replication ID
inline constexpr int16_t Binary = 128;
inline constexpr int16_t Numeric = 131;       // Decimal
inline constexpr int16_t DBTimeStamp = 135;   // Date/Time Extended (.accdb)
inline constexpr int16_t UnsignedTinyInt = 17;  // Byte
inline constexpr int16_t VarWChar = 202;      // Text
inline constexpr int16_t LongVarWChar = 203;  // Memo
inline constexpr int16_t VarBinary = 204;
inline constexpr int16_t LongVarBinary = 205; // OLE Object
}  // namespace fieldtype

}  // namespace varnex
