// Stored Jet 4 text to UTF-8: both the plain two-byte form and the compressed one, whose zero
// bytes switch between one byte and two per character; surrogates without their partner
// become U+FFFD.

#include "reader/TextDecoding.h"

#include <QString>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnex::reader {
namespace {

std::string decoded(const std::vector<uint8_t>& bytes)
{
    std::string out = ">";  // appended to what is there
    appendJet4TextUtf8(bytes.data(), bytes.size(), out);
    return out.substr(1);
}

TEST(TextDecoding, Jet4TextInEitherFormBecomesUtf8)
{
    const struct {
        const char* name;
        std::vector<uint8_t> stored;
        std::string utf8;
    } cases[] = {
        {"empty", {}, ""},
        {"two bytes a character", {'A', 0, 'b', 0}, "Ab"},
        {"odd last byte left out", {'A', 0, 'b'}, "A"},
        {"compressed", {0xFF, 0xFE, 'c', 'a', 'f'}, "caf"},
        {"compressed Latin-1", {0xFF, 0xFE, 'c', 'a', 'f', 0xE9}, "caf\xC3\xA9"},
        {"compressed, then two bytes, then compressed", {0xFF, 0xFE, 'x', 0, 0xE5, 0x65, 0, 'y'}, "x\xE6\x97\xA5y"},
        {"two-byte part cut short", {0xFF, 0xFE, 'x', 0, 0x41}, "x"},
        {"surrogate pair", {0x3D, 0xD8, 0x00, 0xDE}, "\xF0\x9F\x98\x80"},
        {"high surrogate at the end", {'a', 0, 0x3D, 0xD8}, "a\xEF\xBF\xBD"},
        {"low surrogate alone", {0x00, 0xDE, 'a', 0}, "\xEF\xBF\xBD" "a"},
        {"high surrogate before ASCII", {0x3D, 0xD8, 'a', 0}, "\xEF\xBF\xBD" "a"},
        {"high surrogate before compressed ASCII", {0xFF, 0xFE, 0, 0x3D, 0xD8, 0, 'a', 'b'}, "\xEF\xBF\xBD" "ab"},
        {"two high surrogates", {0x3D, 0xD8, 0x3D, 0xD8, 0x00, 0xDE}, "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
        // Runs of eight compressed and four plain characters are taken whole; their edges:
        {"compressed run, Latin-1, run", {0xFF, 0xFE, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 0xE9, 'j', 'k', 'l', 'm', 'n', 'o', 'p', 'q'},
         "abcdefghi\xC3\xA9jklmnopq"},
        {"compressed switch inside eight", {0xFF, 0xFE, 'a', 'b', 'c', 0, 0xE5, 0x65, 0x41, 0, 0, 'x', 'y', 'z', 'u', 'v', 'w', 's', 't'},
         "abc\xE6\x97\xA5" "Axyzuvwst"},
        {"compressed Latin-1 at the eighth byte", {0xFF, 0xFE, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 0xFC}, "abcdefg\xC3\xBC"},
        {"plain four, then other units", {'a', 0, 'b', 0, 'c', 0, 'd', 0, 0xE9, 0, 'e', 0, 0x00, 0x01, 'f', 0}, "abcd\xC3\xA9" "e\xC4\x80" "f"},
        {"plain with a surrogate pair after four", {'a', 0, 'b', 0, 'c', 0, 'd', 0, 0x3D, 0xD8, 0x00, 0xDE, 'e', 0, 'f', 0, 'g', 0, 'h', 0},
         "abcd\xF0\x9F\x98\x80" "efgh"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decoded(c.stored), c.utf8);
    }
}

// Every character of the basic plane but the surrogates, in both forms where it fits, against Qt.
TEST(TextDecoding, EveryBasicCharacterAsQtEncodesIt)
{
    std::vector<uint8_t> plain;
    std::vector<uint8_t> compressed = {0xFF, 0xFE};
    QString expected;
    QString expectedCompressed;
    for (char32_t unit = 1; unit <= 0xFFFF; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF)
            continue;
        plain.push_back(static_cast<uint8_t>(unit & 0xFF));
        plain.push_back(static_cast<uint8_t>(unit >> 8));
        expected += QChar(static_cast<char16_t>(unit));
        if (unit <= 0xFF) {
            compressed.push_back(static_cast<uint8_t>(unit));
            expectedCompressed += QChar(static_cast<char16_t>(unit));
        }
    }
    EXPECT_EQ(decoded(plain), expected.toStdString());
    EXPECT_EQ(decoded(compressed), expectedCompressed.toStdString());
}

}  // namespace
}  // namespace varnex::reader
