#pragma once
// Several values in one variable-length cell, as the reader stores the values of a multi-value or
// attachment column: each value as its byte count (32-bit, host order), then its bytes in the form
// TableData keeps a value of the listed type (fixed-width bytes, or text as UTF-8).

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace varnex {

inline void appendListValue(std::string& cell, std::string_view value)
{
    const auto length = static_cast<uint32_t>(value.size());
    cell.append(reinterpret_cast<const char*>(&length), sizeof length);
    cell.append(value);
}

// Calls visit(std::string_view) for each value in order; a count running past the cell ends the list.
template <class Visit>
void forEachListValue(std::string_view cell, Visit visit)
{
    uint32_t length = 0;
    while (cell.size() >= sizeof length) {
        std::memcpy(&length, cell.data(), sizeof length);
        cell.remove_prefix(sizeof length);
        if (length > cell.size())
            return;
        visit(cell.substr(0, length));
        cell.remove_prefix(length);
    }
}

}  // namespace varnex
