#include "data/TextOrder.h"

#include <QChar>
#include <QCollator>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <array>
#include <bit>
#include <clocale>
#include <cstring>
#include <vector>

namespace varnex {
namespace {

// Decodes one code point from UTF-8 at text[at], advancing at; malformed bytes stand for themselves.
char32_t NextCodePoint(std::string_view text, size_t& at)
{
    const auto lead = static_cast<uint8_t>(text[at]);
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (extra == 0 || at + static_cast<size_t>(extra) >= text.size()) {
        ++at;
        return lead;
    }
    char32_t cp = lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i)
        cp = (cp << 6) | (static_cast<uint8_t>(text[at + static_cast<size_t>(i)]) & 0x3F);
    at += static_cast<size_t>(extra) + 1;
    return cp;
}

char32_t FoldedByQt(char32_t cp)
{
    if (cp < 0x80)
        return (cp >= 'a' && cp <= 'z') ? cp - 32 : cp;
    return QChar::toUpper(cp);
}

// The folds of the Basic Multilingual Plane, looked up rather than asked of Qt for every character.
constexpr char32_t kTabledCodePoints = 0x10000;

const std::vector<char32_t>& basicPlaneFolds()
{
    static const std::vector<char32_t> folds = [] {
        std::vector<char32_t> table(kTabledCodePoints);
        for (char32_t cp = 0; cp < kTabledCodePoints; ++cp)
            table[cp] = FoldedByQt(cp);
        return table;
    }();
    return folds;
}

char32_t Folded(char32_t cp)
{
    return cp < kTabledCodePoints ? basicPlaneFolds()[cp] : FoldedByQt(cp);
}

// Bytes that start a code point (as NextCodePoint reads them, malformed or not)
// which may fold into ASCII; four-byte leads are taken to, rather than asking Qt
// about every code point beyond the table.
const std::array<bool, 256>& leadsThatMayFoldIntoAscii()
{
    static const std::array<bool, 256> leads = [] {
        std::array<bool, 256> risky{};
        const std::vector<char32_t>& folds = basicPlaneFolds();
        for (char32_t cp = 0; cp < kTabledCodePoints; ++cp) {
            if (folds[cp] >= 0x80)
                continue;
            if (cp >= 0x80 && cp < 0x100)
                risky[cp] = true;  // a byte that stands for itself
            if (cp < 0x800)
                risky[0xC0 | (cp >> 6)] = true;
            risky[0xE0 | (cp >> 12)] = true;  // three bytes can spell any of these, too long or not
        }
        for (size_t lead = 0xF0; lead < risky.size(); ++lead)
            risky[lead] = true;
        return risky;
    }();
    return leads;
}

int appendUtf8(char32_t cp, uint8_t* out)
{
    if (cp < 0x80) {
        out[0] = static_cast<uint8_t>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<uint8_t>(0xC0 | (cp >> 6));
        out[1] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<uint8_t>(0xE0 | (cp >> 12));
        out[1] = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<uint8_t>(0xF0 | (cp >> 18));
    out[1] = static_cast<uint8_t>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
    return 4;
}


// The folds of the code points a lead byte 0xC0-0xDF and the byte after it spell (U+0000 to
// U+07FF), each as its UTF-8 bytes, first byte lowest, with their count in the top byte.
const std::array<uint32_t, 0x800>& twoByteFolds()
{
    static const std::array<uint32_t, 0x800> table = [] {
        std::array<uint32_t, 0x800> encoded{};
        const std::vector<char32_t>& folds = basicPlaneFolds();
        for (char32_t cp = 0; cp < encoded.size(); ++cp) {
            uint8_t bytes[4] = {};
            const int count = appendUtf8(folds[cp], bytes);
            encoded[cp] = static_cast<uint32_t>(count) << 24 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[1]} << 8 | bytes[0];
        }
        return encoded;
    }();
    return table;
}


template <class T>
uint64_t load(const char* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// count (1 to 8) bytes from at, zero above them: two loads that may overlap, rather than a copy
// of a varying length, which the load after it would wait for.
uint64_t loadUpToEight(const char* at, size_t count)
{
    if (count == 8)
        return load<uint64_t>(at);
    if (count >= 4)
        return load<uint32_t>(at) | load<uint32_t>(at + count - 4) << (8 * (count - 4));
    if (count >= 2)
        return load<uint16_t>(at) | load<uint16_t>(at + count - 2) << (8 * (count - 2));
    return static_cast<uint8_t>(*at);
}

}  // namespace

bool collationIsCodePoint()
{
    const char* name = std::setlocale(LC_COLLATE, nullptr);
    if (!name)
        return true;
    return std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 || std::strncmp(name, "C.", 2) == 0;
}

// A byte of text gives at most two of its folded form; eight more are written at once where
// ASCII runs are folded eight at a time, and a step that starts short of limit adds at most
// seven ASCII bytes and one character.
size_t foldUtf8(std::string_view text, char* out, size_t limit)
{
    char* at = out;
    const char32_t* const folds = basicPlaneFolds().data();
    const uint32_t* const twoByte = twoByteFolds().data();
    size_t i = 0;
    const size_t size = text.size();
    while (i < size && static_cast<size_t>(at - out) < limit) {
        // Up to eight bytes: the ASCII ones before the first other one, folded (the others
        // masked, so as not to carry).
        const size_t taken = std::min<size_t>(size - i, 8);
        const uint64_t eight = loadUpToEight(text.data() + i, taken);
        const uint64_t high = eight & 0x8080808080808080ull;
        const uint64_t folded = foldedAsciiEight(eight & 0x7F7F7F7F7F7F7F7Full);
        std::memcpy(at, &folded, sizeof folded);
        const size_t ascii = high == 0 ? taken : static_cast<size_t>(std::countr_zero(high) / 8);
        at += ascii;
        i += ascii;
        if (i >= size || ascii == taken)
            continue;
        const auto lead = static_cast<uint8_t>(text[i]);
        if (lead >= 0xC0 && lead < 0xE0 && i + 1 < size) {
            // Two bytes, read as NextCodePoint reads them, whatever the second one is.
            const uint32_t code = (lead & 0x1Fu) << 6 | (static_cast<uint8_t>(text[i + 1]) & 0x3Fu);
            const uint32_t encoded = twoByte[code];
            std::memcpy(at, &encoded, sizeof encoded);
            at += encoded >> 24;
            i += 2;
            continue;
        }
        const char32_t cp = NextCodePoint(text, i);
        at += appendUtf8(cp < kTabledCodePoints ? folds[cp] : FoldedByQt(cp), reinterpret_cast<uint8_t*>(at));
    }
    return static_cast<size_t>(at - out);
}

void appendFoldedUtf8(std::string_view text, std::string& out, size_t limit)
{
    const size_t start = out.size();
    out.resize(start + foldedRoom(text.size(), limit));
    out.resize(start + foldUtf8(text, out.data() + start, limit));
}

bool foldsOnlyAsciiLetters(std::string_view text)
{
    const std::array<bool, 256>& risky = leadsThatMayFoldIntoAscii();
    const size_t size = text.size();
    size_t at = 0;
    while (at < size) {
        uint64_t eight = 0;
        if (at + sizeof eight <= size) {
            std::memcpy(&eight, text.data() + at, sizeof eight);
            if ((eight & 0x8080808080808080ull) == 0) {
                at += sizeof eight;  // eight ASCII bytes
                continue;
            }
        }
        const auto lead = static_cast<uint8_t>(text[at]);
        if (lead < 0x80) {
            ++at;
            continue;
        }
        const size_t start = at;
        const char32_t cp = NextCodePoint(text, at);
        if (risky[lead] && Folded(cp) < 0x80)
            return false;
        for (size_t k = start + 1; k < at; ++k) {
            if (static_cast<uint8_t>(text[k]) < 0x80)
                return false;  // a malformed sequence took in an ASCII byte
        }
    }
    return true;
}

int compareCollated(std::string_view a, std::string_view b)
{
    static thread_local QCollator collator = [] {
        QCollator c{QLocale()};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator.compare(QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size())),
                            QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())));
}

}  // namespace varnex
