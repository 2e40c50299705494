#pragma once
// The page encoding of Jet 3 and Jet 4 databases (Access 97 to 2003 call it encrypting the database): every
// page but page 0 is RC4 under the 4-byte database key, stored at 0x3E inside the scrambled region of page 0,
// XOR the page number as 32-bit little-endian. A database key of zero means the pages are stored plain.

#include <array>
#include <cstdint>
#include <span>

namespace varnex::crypto {

// In place; encoding and decoding are the same operation. Page 0 passes unchanged.
void applyJetPageEncoding(const std::array<uint8_t, 4>& databaseKey, uint32_t pageNumber, std::span<uint8_t> page);

}  // namespace varnex::crypto
