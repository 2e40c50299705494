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
inline uint64_t foldedAsciiEight(uint64_t eight)
{
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    // The high bit of each byte: at least 'a' and not past 'z' (no carries: every byte is ASCII).
    const uint64_t fromA = eight + 0x1F1F1F1F1F1F1F1Full;
    const uint64_t pastZ = eight + 0x0505050505050505ull;
    const uint64_t lower = fromA & ~pastZ & kHighs;
    return eight ^ (lower >> 2);  // 0x20 off each small letter
}

// True when appendFoldedUtf8 keeps the ASCII characters of text, their letters
// made upper case, and makes no other character ASCII: then an ASCII text is
// found in the folded form just where it is found in text with the letter case
// ignored.
bool foldsOnlyAsciiLetters(std::string_view text);

// Compares under the locale's collation, ignoring case.
int compareCollated(std::string_view a, std::string_view b);

}  // namespace varnex
