#pragma once
// Case-insensitive order of UTF-8 text under the locale's collation.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace varnex {

// True when the locale collates by code point (the C and POSIX locales), so that
// UTF-8 text can be compared without building strings.
bool collationIsCodePoint();

// Appends the text with each code point folded to upper case (as "sort -f" folds), as UTF-8:
// comparing two such forms byte by byte orders them by folded code point. Stops once at least
// limit bytes are appended.
void appendFoldedUtf8(std::string_view text, std::string& out, size_t limit = SIZE_MAX);

// The room foldUtf8 may write into for a text of size bytes.
constexpr size_t foldedRoom(size_t size, size_t limit = SIZE_MAX)
{
    return (limit < size ? std::min(2 * size, limit + 8) : 2 * size) + 8;
}

// Writes the text folded as appendFoldedUtf8 appends it, into out, which has
// foldedRoom(text.size(), limit) bytes; returns the folded length.
size_t foldUtf8(std::string_view text, char* out, size_t limit = SIZE_MAX);

// Eight ASCII bytes (none with its high bit) with their small letters made capitals, as
// appendFoldedUtf8 folds them.
uint64_t foldedAsciiEight(uint64_t eight);

// True when appendFoldedUtf8 keeps the ASCII characters of text, their letters
// made upper case, and makes no other character ASCII: then an ASCII text is
// found in the folded form just where it is found in text with the letter case
// ignored.
bool foldsOnlyAsciiLetters(std::string_view text);

// Compares under the locale's collation, ignoring case.
int compareCollated(std::string_view a, std::string_view b);

}  // namespace varnex
