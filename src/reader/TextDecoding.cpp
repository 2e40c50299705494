#include "reader/TextDecoding.h"

#include <array>
#include <cstring>

namespace varnex::reader {
namespace {

// UTF-8 written straight into room the caller has made, from UTF-16 units; a surrogate
// without its partner becomes U+FFFD.
class Utf8Writer {
public:
    explicit Utf8Writer(char* at) : at_(at) {}
    char* end() const { return at_; }

    void unit(uint16_t unit)
    {
        if (unit < 0x80 && !high_) {
            *at_++ = static_cast<char>(unit);
            return;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF && high_) {
            codePoint(0x10000 + ((static_cast<uint32_t>(high_) - 0xD800) << 10) + (unit - 0xDC00u));
            high_ = 0;
            return;
        }
        finish();
        if (unit >= 0xD800 && unit <= 0xDBFF)
            high_ = unit;
        else if (unit >= 0xDC00 && unit <= 0xDFFF)
            codePoint(0xFFFD);
        else
            codePoint(unit);
    }

    // Characters below U+0080, one byte each, as they are.
    void ascii(const uint8_t* bytes, size_t n)
    {
        finish();
        std::memcpy(at_, bytes, n);
        at_ += n;
    }

    // A high surrogate still waiting for its partner becomes U+FFFD.
    void finish()
    {
        if (high_)
            codePoint(0xFFFD);
        high_ = 0;
    }

private:
    void put(uint32_t byte) { *at_++ = static_cast<char>(byte); }

    void codePoint(uint32_t cp)
    {
        if (cp < 0x80) {
            put(cp);
        } else if (cp < 0x800) {
            put(0xC0 | (cp >> 6));
            put(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            put(0xE0 | (cp >> 12));
            put(0x80 | ((cp >> 6) & 0x3F));
            put(0x80 | (cp & 0x3F));
        } else {
            put(0xF0 | (cp >> 18));
            put(0x80 | ((cp >> 12) & 0x3F));
            put(0x80 | ((cp >> 6) & 0x3F));
            put(0x80 | (cp & 0x3F));
        }
    }

    char* at_;
    uint16_t high_ = 0;
};

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighs = 0x8080808080808080ull;

uint64_t eightAt(const uint8_t* at)
{
    uint64_t eight;
    std::memcpy(&eight, at, sizeof eight);
    return eight;
}

// Four two-byte units that are all characters below U+0080.
bool fourAsciiUnits(uint64_t eight)
{
    return (eight & 0xFF80FF80FF80FF80ull) == 0;
}

// Each byte of compressed text as UTF-8: itself below 0x80, else two bytes (the first in the
// low half); the length is 1 plus the byte's top bit.
constexpr auto kCompressedUtf8 = [] {
    std::array<uint16_t, 256> table{};
    for (unsigned b = 0; b < 256; ++b)
        table[b] = static_cast<uint16_t>(b < 0x80 ? b : (0xC0 | (b >> 6)) | ((0x80 | (b & 0x3F)) << 8));
    return table;
}();

// One compressed byte, not zero, written without a branch on its kind.
char* putCompressed(uint8_t b, char* out)
{
    std::memcpy(out, &kCompressedUtf8[b], sizeof(uint16_t));
    return out + 1 + (b >> 7);
}

// The compressed characters from bytes[i] up to the next zero byte (or the end). Eight bytes are
// looked at a time: the ASCII ones up to the first that is not are copied at once, that one
// written as two. out has room for two bytes a byte, so the eight may be copied whole before
// only the ASCII ones among them are kept. Returns where it stopped.
size_t writeCompressed(const uint8_t* bytes, size_t i, size_t length, char*& out)
{
    while (i + 8 <= length) {
        const uint64_t eight = eightAt(bytes + i);
        if (((eight - kOnes) & ~eight & kHighs) != 0)
            break;  // a zero byte among them
        std::memcpy(out, &eight, sizeof eight);
        const uint64_t highs = eight & kHighs;
        if (highs == 0) {
            out += 8;
            i += 8;
            continue;
        }
        const auto ascii = static_cast<size_t>(__builtin_ctzll(highs) / 8);  // little-endian: the first byte lowest
        out = putCompressed(bytes[i + ascii], out + ascii);
        i += ascii + 1;
    }
    for (; i < length && bytes[i] != 0; ++i)
        out = putCompressed(bytes[i], out);
    return i;
}

}  // namespace

char* writeJet4TextUtf8(const uint8_t* bytes, size_t length, char* out)
{
    if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        bool compressed = true;
        size_t i = 2;
        Utf8Writer writer(out);
        while (i < length) {
            if (compressed) {
                writer.finish();  // a surrogate left waiting before the switch
                char* at = writer.end();
                i = writeCompressed(bytes, i, length, at);
                writer = Utf8Writer(at);
                if (i < length) {  // a zero byte: two bytes a character from here
                    compressed = false;
                    ++i;
                }
            } else if (bytes[i] == 0) {
                compressed = true;
                ++i;
            } else if (i + 1 < length) {
                writer.unit(static_cast<uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
                i += 2;
            } else {
                break;
            }
        }
        writer.finish();
        return writer.end();
    }
    Utf8Writer writer(out);
    for (size_t i = 0; i + 1 < length;) {
        // Four units below U+0080 at once, as long as they come.
        if (i + 8 <= length && fourAsciiUnits(eightAt(bytes + i))) {
            const uint8_t four[4] = {bytes[i], bytes[i + 2], bytes[i + 4], bytes[i + 6]};
            writer.ascii(four, 4);
            i += 8;
            continue;
        }
        writer.unit(static_cast<uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
        i += 2;
    }
    writer.finish();
    return writer.end();
}

void appendJet4TextUtf8(const uint8_t* bytes, size_t length, std::string& out)
{
    const size_t start = out.size();
    out.resize(start + jet4TextUtf8Room(length));
    char* const end = writeJet4TextUtf8(bytes, length, out.data() + start);
    out.resize(static_cast<size_t>(end - out.data()));
}

char* writeJet3TextUtf8(const CodePageTable& codePage, const uint8_t* bytes, size_t length, char* out)
{
    for (size_t i = 0; i < length; ++i) {
        if (bytes[i] < 0x80) {
            *out++ = static_cast<char>(bytes[i]);
        } else {
            const std::string& character = codePage[bytes[i]];
            std::memcpy(out, character.data(), character.size());
            out += character.size();
        }
    }
    return out;
}

void appendJet3TextUtf8(const CodePageTable& codePage, const uint8_t* bytes, size_t length, std::string& out)
{
    const size_t start = out.size();
    out.resize(start + jet3TextUtf8Room(length));
    char* const end = writeJet3TextUtf8(codePage, bytes, length, out.data() + start);
    out.resize(static_cast<size_t>(end - out.data()));
}

}  // namespace varnex::reader
