#pragma once
// Stored Jet text to UTF-8.

#include "store/CodePage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace varnex::reader {

// Jet 4 text: UCS-2 little-endian, or, when it starts with FF FE, the compressed
// form in which a zero byte switches between one byte per character (the
// character's low byte) and two. Appends the UTF-8 form to out.
void appendJet4TextUtf8(const uint8_t* bytes, size_t length, std::string& out);
// The same written at out, which has room for jet4TextUtf8Room(length) bytes; returns the end.
// It is written in the fastest of the ways below.
char* writeJet4TextUtf8(const uint8_t* bytes, size_t length, char* out);
// Each way this processor has of writing it: without vector instructions, and with those of
// them it has (for tests, which prove each against the same rules).
struct Jet4TextWay {
    using Writer = char* (*)(const uint8_t* bytes, size_t length, char* out);
    const char* name;
    Writer write;
};
const std::vector<Jet4TextWay>& jet4TextWays();
// A stored byte gives at most two bytes of UTF-8 (a compressed character up to U+00FF), a unit
// of two bytes at most three, and a surrogate left without its partner three; compressed text is
// written up to 32 bytes at a time, of which fewer may be kept.
constexpr size_t jet4TextUtf8Room(size_t length)
{
    return 2 * length + 32;
}

// The characters of a single-byte code page, each written four bytes at a time: its UTF-8 with
// zeros after it, and its length. Bytes below 0x80 are ASCII.
class Jet3Characters {
public:
    explicit Jet3Characters(const CodePageTable& codePage);
    // The byte's character at out, which has room for four bytes; returns its end.
    char* put(uint8_t byte, char* out) const
    {
        std::memcpy(out, &utf8_[byte], sizeof utf8_[byte]);
        return out + lengths_[byte];
    }

private:
    std::array<uint32_t, 256> utf8_{};
    std::array<uint8_t, 256> lengths_{};
};

// Jet 3 text: one byte per character in the database's code page.
void appendJet3TextUtf8(const CodePageTable& codePage, const uint8_t* bytes, size_t length, std::string& out);
char* writeJet3TextUtf8(const Jet3Characters& characters, const uint8_t* bytes, size_t length, char* out);
// A code page character is one character: four bytes of UTF-8 at most.
constexpr size_t jet3TextUtf8Room(size_t length)
{
    return 4 * length;
}

}  // namespace varnex::reader
