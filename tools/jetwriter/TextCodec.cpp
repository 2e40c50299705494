#include "jetwriter/TextCodec.h"

#include "crypto/Utf16.h"

#include <array>

namespace jetwriter {
namespace {

char32_t decodeOne(std::string_view s, size_t& i)
{
    const auto lead = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    if ((lead & 0xE0) == 0xC0) { extra = 1; cp = lead & 0x1F; }
    else if ((lead & 0xF0) == 0xE0) { extra = 2; cp = lead & 0x0F; }
    else if ((lead & 0xF8) == 0xF0) { extra = 3; cp = lead & 0x07; }
    else { ++i; return 0xFFFD; }
    if (i + static_cast<size_t>(extra) >= s.size()) {
        i = s.size();
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto c = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
        if ((c & 0xC0) != 0x80) { i += static_cast<size_t>(k); return 0xFFFD; }
        cp = (cp << 6) | (c & 0x3F);
    }
    i += static_cast<size_t>(extra) + 1;
    return cp > 0x10FFFF ? 0xFFFD : cp;
}

// Windows-1252 bytes 0x80..0x9F; zero where the code page leaves the byte undefined.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

uint8_t cp1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<uint8_t>(c);
    for (size_t k = 0; k < kCp1252High.size(); ++k)
        if (kCp1252High[k] == c)
            return static_cast<uint8_t>(0x80 + k);
    return '?';
}

// In the compressed form a zero byte switches between one-byte and two-byte characters,
// so a character whose low byte is zero cannot be written in it at all.
bool compressible(std::u16string_view text)
{
    for (char16_t c : text)
        if ((c & 0xFF) == 0)
            return false;
    return true;
}

std::vector<uint8_t> compressed(std::u16string_view text)
{
    std::vector<uint8_t> out{0xFF, 0xFE};
    bool oneByte = true;
    for (char16_t c : text) {
        const bool fits = c < 0x100;
        if (fits != oneByte) {
            out.push_back(0);
            oneByte = fits;
        }
        out.push_back(static_cast<uint8_t>(c));
        if (!oneByte)
            out.push_back(static_cast<uint8_t>(c >> 8));
    }
    return out;
}

}  // namespace

std::u16string utf8ToUtf16(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const char32_t cp = decodeOne(utf8, i);
        if (cp >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::vector<uint8_t> toCp1252(std::u16string_view text)
{
    std::vector<uint8_t> out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool highSurrogate = c >= 0xD800 && c < 0xDC00 && i + 1 < text.size();
        out.push_back(highSurrogate ? '?' : cp1252Byte(c));
        if (highSurrogate)
            ++i;
    }
    return out;
}

std::vector<uint8_t> toJet4Text(std::u16string_view text, bool allowCompression)
{
    if (allowCompression && compressible(text)) {
        auto packed = compressed(text);
        if (packed.size() < text.size() * 2)
            return packed;
    }
    return varnex::crypto::utf16le(text);
}

}  // namespace jetwriter
