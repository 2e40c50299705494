#pragma once
// Windows code pages of Jet 3 text.

#include <QString>

#include <array>
#include <cstdint>
#include <string>

namespace varnex {

// UTF-8 form of each of the 256 bytes of a single-byte code page ("?" where the
// code page leaves a byte undefined). Unknown code pages fall back to 1252.
using CodePageTable = std::array<std::string, 256>;
CodePageTable makeCodePageTable(uint16_t codePage);

QString decodeCodePage(const CodePageTable& table, const char* bytes, size_t length);

}  // namespace varnex
