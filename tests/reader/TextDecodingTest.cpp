// Stored Jet 4 text to UTF-8: both the plain two-byte form and the compressed one, whose zero
// bytes switch between one byte and two per character; surrogates without their partner
// become U+FFFD.

#include "reader/TextDecoding.h"

#include <QString>

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace varnex::reader {
namespace {

// A memory page with an unreadable one after it: text placed at its end is read with nothing
// after it that may be touched.
class GuardedPage {
public:
    GuardedPage() : size_(static_cast<size_t>(sysconf(_SC_PAGESIZE)))
    {
        void* pages = mmap(nullptr, 2 * size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (pages == MAP_FAILED)
            return;
        pages_ = static_cast<uint8_t*>(pages);
        mprotect(pages_ + size_, size_, PROT_NONE);
    }
    ~GuardedPage()
    {
        if (pages_)
            munmap(pages_, 2 * size_);
    }
    GuardedPage(const GuardedPage&) = delete;
    GuardedPage& operator=(const GuardedPage&) = delete;

    bool ready() const { return pages_ != nullptr; }
    // The bytes at the page's end, or gap bytes before it.
    const uint8_t* place(const std::vector<uint8_t>& bytes, size_t gap)
    {
        uint8_t* at = pages_ + size_ - gap - bytes.size();
        if (!bytes.empty())
            std::memcpy(at, bytes.data(), bytes.size());
        std::memset(at + bytes.size(), 0x41, gap);  // not zero: nothing after the text may count
        return at;
    }

private:
    size_t size_;
    uint8_t* pages_ = nullptr;
};

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

// The rules over again, a character at a time: the code points of stored Jet 4 text. Two units
// pair as a surrogate pair only inside one run of two-byte characters.
std::u32string referenceCodePoints(const std::vector<uint8_t>& bytes)
{
    struct Unit {
        char32_t unit;
        bool pairsWithLast;
    };
    std::vector<Unit> units;
    const bool compressedForm = bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
    bool compressed = compressedForm;
    bool inRun = false;
    for (size_t i = compressedForm ? 2 : 0; i < bytes.size();) {
        if (compressedForm && bytes[i] == 0) {
            compressed = !compressed;
            inRun = false;
            ++i;
        } else if (compressed) {
            units.push_back({bytes[i++], false});
        } else if (i + 1 < bytes.size()) {
            units.push_back({static_cast<char32_t>(bytes[i] | bytes[i + 1] << 8), inRun});
            inRun = true;
            i += 2;
        } else {
            break;
        }
    }
    std::u32string points;
    for (size_t k = 0; k < units.size(); ++k) {
        const char32_t u = units[k].unit;
        const bool high = u >= 0xD800 && u <= 0xDBFF;
        if (high && k + 1 < units.size() && units[k + 1].pairsWithLast && units[k + 1].unit >= 0xDC00 && units[k + 1].unit <= 0xDFFF) {
            points += 0x10000 + ((u - 0xD800) << 10) + (units[k + 1].unit - 0xDC00);
            ++k;
        } else {
            points += (u >= 0xD800 && u <= 0xDFFF) ? char32_t{0xFFFD} : u;
        }
    }
    return points;
}

std::string utf8Of(const std::u32string& points)
{
    std::string out;
    for (const char32_t cp : points) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

// Random text in both forms, mostly runs of ASCII with other characters, switches and surrogates
// among them, of every length around the sizes the decoding takes at once and over several of
// them: decoded as the rules say, into exactly the room it asks for (the sanitizers see a byte
// written past it), in each way the processor has (with and without its vector instructions). The
// text lies at the end of a memory page that nothing readable follows, or a few bytes before it
// (the bytes between are not text).
TEST(TextDecoding, RandomTextDecodesAsTheRulesSayWithinItsRoom)
{
    GuardedPage page;
    ASSERT_TRUE(page.ready());
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const auto pick = [&random](unsigned n) { return static_cast<unsigned>(random() % n); };
    const auto unitBytes = [&](std::vector<uint8_t>& out) {
        static const uint16_t kinds[] = {0x0041, 0x00E9, 0x0394, 0x65E5, 0xD83D, 0xDE00, 0x0100, 0xFFFD};
        const uint16_t unit = pick(3) == 0 ? static_cast<uint16_t>(random()) : kinds[pick(8)];
        out.push_back(static_cast<uint8_t>(unit & 0xFF));
        out.push_back(static_cast<uint8_t>(unit >> 8));
    };
    for (int round = 0; round < 20000; ++round) {
        std::vector<uint8_t> stored;
        const unsigned length = pick(4) == 0 ? pick(300) : pick(40);
        if (pick(4) != 0) {
            stored = {0xFF, 0xFE};
            bool compressed = true;
            while (stored.size() < length + 2) {
                if (pick(12) == 0) {
                    stored.push_back(0);
                    compressed = !compressed;
                } else if (compressed) {
                    const unsigned kind = pick(10);
                    stored.push_back(static_cast<uint8_t>(kind < 7 ? 0x20 + pick(0x5F) : kind < 9 ? 0x80 + pick(0x80) : 1 + pick(255)));
                } else {
                    unitBytes(stored);
                }
            }
        } else {
            while (stored.size() < length) {
                if (pick(2) == 0) {
                    for (unsigned k = 1 + pick(20); k > 0; --k)  // a run of ASCII
                        stored.insert(stored.end(), {static_cast<uint8_t>(0x20 + pick(0x5F)), 0});
                } else {
                    unitBytes(stored);
                }
            }
        }
        if (pick(8) == 0 && !stored.empty())
            stored.pop_back();  // cut short inside a two-byte character, or not
        const std::string expected = utf8Of(referenceCodePoints(stored));
        const uint8_t* placed = page.place(stored, pick(3) == 0 ? 0 : pick(20));
        for (const Jet4TextWay& way : jet4TextWays()) {
            const size_t room = jet4TextUtf8Room(stored.size());
            const auto out = std::make_unique<char[]>(room);
            char* end = way.write(placed, stored.size(), out.get());
            ASSERT_LE(static_cast<size_t>(end - out.get()), room);
            ASSERT_EQ(std::string(out.get(), static_cast<size_t>(end - out.get())), expected) << "round " << round << ", " << way.name;
        }
    }
}

// Jet 3 text, a byte a character in the code page, of every length around the sixteen bytes taken
// at once: each byte as the code page's table has it, within the room asked for.
TEST(TextDecoding, RandomJet3TextIsEachByteInTheCodePage)
{
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    for (const uint16_t page : {uint16_t{1252}, uint16_t{1251}, uint16_t{932}}) {
        const CodePageTable table = makeCodePageTable(page);
        for (int round = 0; round < 3000; ++round) {
            std::vector<uint8_t> stored(random() % 60);
            for (uint8_t& b : stored)
                b = static_cast<uint8_t>(random() % 4 == 0 ? 0x80 + random() % 0x80 : random() % 0x80);
            std::string expected;
            for (const uint8_t b : stored)
                expected += b < 0x80 ? std::string(1, static_cast<char>(b)) : table[b];
            const size_t room = jet3TextUtf8Room(stored.size());
            const auto out = std::make_unique<char[]>(room);
            char* end = writeJet3TextUtf8(Jet3Characters(table), stored.data(), stored.size(), out.get());
            ASSERT_LE(static_cast<size_t>(end - out.get()), room);
            ASSERT_EQ(std::string(out.get(), static_cast<size_t>(end - out.get())), expected) << "code page " << page << ", round " << round;
        }
    }
}

}  // namespace
}  // namespace varnex::reader
