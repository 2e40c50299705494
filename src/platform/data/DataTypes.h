#pragma once
// Field type codes as the Jet OLE DB provider reports them, and the
// connection / recordset constants the program passes.

#include <cstdint>

namespace varnex {

namespace adType {
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
inline constexpr int16_t UnsignedTinyInt = 17;  // Byte
inline constexpr int16_t VarWChar = 202;      // Text
inline constexpr int16_t LongVarWChar = 203;  // Memo
inline constexpr int16_t VarBinary = 204;
inline constexpr int16_t LongVarBinary = 205; // OLE Object
}  // namespace adType

inline constexpr int adUseClient = 3;
inline constexpr int adOpenKeyset = 1;
inline constexpr int adLockReadOnly = 1;
inline constexpr int adOptionUnspecified = -1;
inline constexpr int adSchemaTables = 20;
inline constexpr int adStateClosed = 0;
inline constexpr int adStateOpen = 1;

}  // namespace varnex
