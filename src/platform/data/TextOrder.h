#pragma once
// Case-insensitive order of UTF-8 text under the locale's collation.

#include <cstdint>
#include <string_view>

namespace varnex {

// True when the locale collates by code point (the C and POSIX locales), so that
// UTF-8 text can be compared without building strings.
bool CollationIsCodePoint();

// Compares by code point after folding each to upper case (as "sort -f" does).
int CompareFolded(std::string_view a, std::string_view b);
// The first eight bytes of the folded text's UTF-8 form, big-endian: a cheap first
// comparison that agrees with CompareFolded whenever two prefixes differ.
uint64_t FoldedPrefix(std::string_view text);

// Compares under the locale's collation, ignoring case.
int CompareCollated(std::string_view a, std::string_view b);

}  // namespace varnex
