#include "CsvQuoting.h"

#include <cstdint>
#include <cstring>

namespace varnex {

// Eight bytes at a time: whether any of them is one of the four that make a value quoted.
bool needsQuotes(std::string_view text)
{
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    const auto holds = [](uint64_t eight, char c) {
        const uint64_t x = eight ^ (kOnes * static_cast<uint8_t>(c));
        return ((x - kOnes) & ~x & kHighs) != 0;
    };
    size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        uint64_t eight;
        std::memcpy(&eight, text.data() + at, sizeof eight);
        if (holds(eight, ',') || holds(eight, '"') || holds(eight, '\r') || holds(eight, '\n'))
            return true;
    }
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            return true;
    }
    return false;
}

void appendQuotesDoubled(std::string_view text, std::string& out)
{
    while (!text.empty()) {
        const void* quote = std::memchr(text.data(), '"', text.size());
        if (!quote) {
            out.append(text);
            return;
        }
        const auto upTo = static_cast<size_t>(static_cast<const char*>(quote) - text.data()) + 1;
        out.append(text.data(), upTo);
        out += '"';
        text.remove_prefix(upTo);
    }
}

void doubleQuotesFrom(std::string& buffer, std::size_t from)
{
    if (buffer.find('"', from) == std::string::npos)
        return;
    const std::string tail = buffer.substr(from);
    buffer.resize(from);
    appendQuotesDoubled(tail, buffer);
}

void quoteTail(std::string& buffer, std::size_t start)
{
    buffer.insert(start, 1, '"');
    doubleQuotesFrom(buffer, start + 1);
    buffer += '"';
}

}  // namespace varnex
