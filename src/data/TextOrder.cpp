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

}  // namespace

bool collationIsCodePoint()
{
    const char* name = std::setlocale(LC_COLLATE, nullptr);
    if (!name)
        return true;
    return std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 || std::strncmp(name, "C.", 2) == 0;
}

uint64_t foldedAsciiEight(uint64_t eight)
{
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    // The high bit of each byte: at least 'a' and not past 'z' (no carries: every byte is ASCII).
    const uint64_t fromA = eight + 0x1F1F1F1F1F1F1F1Full;
    const uint64_t pastZ = eight + 0x0505050505050505ull;
    const uint64_t lower = fromA & ~pastZ & kHighs;
    return eight ^ (lower >> 2);  // 0x20 off each small letter
}

// Written straight into room made at the end of out: a byte of text gives at most two of its
// folded form, and eight more are written at once where ASCII runs are folded eight at a time.
void appendFoldedUtf8(std::string_view text, std::string& out, size_t limit)
{
    const size_t start = out.size();
    const size_t room = std::min(2 * text.size(), limit) + 8;
    out.resize(start + room);
    char* const begin = out.data() + start;
    char* at = begin;
    const char32_t* const folds = basicPlaneFolds().data();
    size_t i = 0;
    const size_t size = text.size();
    while (i < size && static_cast<size_t>(at - begin) < limit) {
        if (i + 8 <= size) {
            uint64_t eight;
            std::memcpy(&eight, text.data() + i, sizeof eight);
            const uint64_t high = eight & 0x8080808080808080ull;
            // The ASCII bytes before the first other one, folded (the others masked, so as not to carry).
            const uint64_t folded = foldedAsciiEight(eight & 0x7F7F7F7F7F7F7F7Full);
            std::memcpy(at, &folded, sizeof folded);
            const auto ascii = high == 0 ? size_t{8} : static_cast<size_t>(std::countr_zero(high) / 8);
            at += ascii;
            i += ascii;
            if (ascii == 8 || i >= size)
                continue;
        }
        const auto lead = static_cast<uint8_t>(text[i]);
        if (lead < 0x80) {
            *at++ = static_cast<char>(lead >= 'a' && lead <= 'z' ? lead - 32 : lead);
            ++i;
            continue;
        }
        const char32_t cp = NextCodePoint(text, i);
        at += appendUtf8(cp < kTabledCodePoints ? folds[cp] : FoldedByQt(cp), reinterpret_cast<uint8_t*>(at));
    }
    out.resize(static_cast<size_t>(at - out.data()));
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
