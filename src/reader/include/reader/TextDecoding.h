#pragma once
// Stored Jet text to UTF-8.

#include "data/CodePage.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace varnex::reader {

// Jet 4 text: UCS-2 little-endian, or, when it starts with FF FE, the compressed
// form in which a zero byte switches between one byte per character (the
// character's low byte) and two. Appends the UTF-8 form to out.
void appendJet4TextUtf8(const uint8_t* bytes, size_t length, std::string& out);

// Jet 3 text: one byte per character in the database's code page.
void appendJet3TextUtf8(const CodePageTable& codePage, const uint8_t* bytes, size_t length, std::string& out);

}  // namespace varnex::reader
