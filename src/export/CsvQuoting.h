#pragma once
// The quoting of CSV values: a value holding a comma, a double quote, CR or LF (and every text
// value) goes between double quotes, with each double quote inside doubled.

#include <cstddef>
#include <string>
#include <string_view>

namespace varnex {

bool needsQuotes(std::string_view text);
// Appends text with every double quote doubled.
void appendQuotesDoubled(std::string_view text, std::string& out);
// Doubles every double quote in buffer[from..], in place.
void doubleQuotesFrom(std::string& buffer, std::size_t from);
// Puts buffer[start..] between double quotes and doubles the quotes inside.
void quoteTail(std::string& buffer, std::size_t start);

}  // namespace varnex
