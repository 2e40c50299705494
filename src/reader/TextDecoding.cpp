#include "reader/TextDecoding.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

    // No high surrogate waiting for its partner.
    bool settled() const { return high_ == 0; }

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

// The last bytes of a text, fewer than eight, with zeros after them.
uint64_t fewerThanEightAt(const uint8_t* at, size_t n)
{
    uint64_t eight = 0;
    for (size_t k = 0; k < n; ++k)
        eight |= uint64_t{at[k]} << (8 * k);
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
// looked at a time (the last fewer, as if zeros followed them), and copied whole: of them, the
// ASCII ones up to the first zero or other byte are kept, and another byte is written as two.
// out has room for more than it keeps (see jet4TextUtf8Room). Returns where it
// stopped.
size_t writeCompressedPortably(const uint8_t* bytes, size_t i, size_t length, char*& out)
{
    while (i < length) {
        const size_t left = length - i;
        const uint64_t eight = left >= 8 ? eightAt(bytes + i) : fewerThanEightAt(bytes + i, left);
        std::memcpy(out, &eight, sizeof eight);
        const uint64_t zeros = (eight - kOnes) & ~eight & kHighs;  // exact up to the first zero byte
        const uint64_t highs = eight & kHighs;
        if ((zeros | highs) == 0) {
            out += 8;
            i += 8;
            continue;
        }
        // Little-endian: the lowest bit set marks the first such byte.
        const int zeroAt = zeros ? __builtin_ctzll(zeros) : 64;
        const int highAt = highs ? __builtin_ctzll(highs) : 64;
        if (zeroAt < highAt) {
            const size_t ascii = std::min(static_cast<size_t>(zeroAt / 8), left);
            out += ascii;
            return i + ascii;
        }
        const auto ascii = static_cast<size_t>(highAt / 8);
        out = putCompressed(bytes[i + ascii], out + ascii);
        i += ascii + 1;
    }
    return i;
}

#if defined(__x86_64__)

// For eight compressed bytes of which those in a mask are not ASCII: where each byte of their
// UTF-8 comes from among the pairs (the byte itself or its lead byte, its continuation byte) laid
// side by side: the first of each pair, and the second where the byte is not ASCII.
struct EightShuffles {
    uint8_t from[256][16];
    uint8_t others[256];  // bytes in the mask
};
constexpr EightShuffles kEightShuffles = [] {
    EightShuffles shuffles{};
    for (unsigned mask = 0; mask < 256; ++mask) {
        unsigned at = 0;
        for (unsigned k = 0; k < 8; ++k) {
            shuffles.from[mask][at++] = static_cast<uint8_t>(2 * k);
            if ((mask >> k) & 1)
                shuffles.from[mask][at++] = static_cast<uint8_t>(2 * k + 1);
        }
        shuffles.others[mask] = static_cast<uint8_t>(at - 8);
        for (; at < 16; ++at)
            shuffles.from[mask][at] = 0x80;  // a zero byte
    }
    return shuffles;
}();

// The last bytes of a text, fewer than sixteen, with zeros after them (which stop the characters
// there), read without a byte past them.
__attribute__((target("ssse3"))) __m128i fewerThanSixteenAt(const uint8_t* at, size_t n)
{
    if (n < 8)
        return _mm_cvtsi64_si128(static_cast<long long>(fewerThanEightAt(at, n)));
    const auto past = static_cast<unsigned>(16 - n);  // 1 to 8: of the eight ending at the end, those before byte 8
    const uint64_t high = past == 8 ? 0 : eightAt(at + n - 8) >> (8 * past);
    return _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(eightAt(at)));
}

// The last bytes of a text, fewer than sixteen, with zeros after them. Where the sixteen bytes
// from at lie within one page of memory they are read at once and those past the text masked
// off (reading them cannot fault, and they are never used); else byte by byte.
alignas(16) constexpr uint8_t kKeepFirst[32] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
constexpr uintptr_t kMemoryPage = 4096;  // the smallest page size of x86-64
__attribute__((target("ssse3"), no_sanitize("address"))) inline __m128i lastBytes(const uint8_t* at, size_t n)
{
    if ((reinterpret_cast<uintptr_t>(at) & (kMemoryPage - 1)) > kMemoryPage - 16)
        return fewerThanSixteenAt(at, n);
    const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    return _mm_and_si128(sixteen, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kKeepFirst + 16 - n)));
}

// Eight bytes' pairs, of which n (at most eight) are kept, written at out by the shuffle of their mask.
__attribute__((target("ssse3"))) char* putEight(__m128i pairs, unsigned mask, unsigned n, char* out)
{
    const __m128i from = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kEightShuffles.from[mask]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(pairs, from));
    return out + n + kEightShuffles.others[mask];
}

// As writeCompressedPortably, sixteen bytes at a time by the processor's SSSE3 instructions: of
// those before a zero byte (or the end), each half is spread into its UTF-8 by a byte shuffle,
// whatever it holds (on text that mixes ASCII with other characters, a branch on which it holds
// costs more than the shuffles). Up to 32 bytes are written past out, of which fewer are kept.
__attribute__((target("ssse3"))) size_t writeCompressedBySsse3(const uint8_t* bytes, size_t i, size_t length, char*& out)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i top2 = _mm_set1_epi8(0x03);
    const __m128i low6 = _mm_set1_epi8(0x3F);
    const __m128i lead = _mm_set1_epi8(static_cast<char>(0xC0));
    const __m128i continuation = _mm_set1_epi8(static_cast<char>(0x80));
    char* at = out;
    while (i < length) {
        const size_t left = length - i;
        const __m128i v = left >= 16 ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i)) : lastBytes(bytes + i, left);
        const auto zeros = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)));
        const unsigned n = zeros ? static_cast<unsigned>(__builtin_ctz(zeros)) : 16;
        const unsigned others = static_cast<unsigned>(_mm_movemask_epi8(v)) & ((1u << n) - 1);
        const __m128i isOther = _mm_cmplt_epi8(v, zero);
        const __m128i leads = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(v, 6), top2), lead);
        const __m128i firsts = _mm_or_si128(_mm_and_si128(isOther, leads), _mm_andnot_si128(isOther, v));
        const __m128i continuations = _mm_or_si128(_mm_and_si128(v, low6), continuation);
        at = putEight(_mm_unpacklo_epi8(firsts, continuations), others & 0xFF, n < 8 ? n : 8, at);
        at = putEight(_mm_unpackhi_epi8(firsts, continuations), others >> 8, n > 8 ? n - 8 : 0, at);
        i += n;
        if (n < 16)
            break;
    }
    out = at;
    return i;
}

#define VARNEX_AVX512_TEXT __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi2,popcnt")))

// The processor's features are looked up first, as they may not be yet where this is asked
// while the program starts (for the fastest way, below).
bool hasSsse3()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3");
}

bool hasAvx512Text()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi") &&
           __builtin_cpu_supports("avx512vbmi2") && __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
}

#endif

// A character of the Basic Multilingual Plane other than a surrogate, as UTF-8; one of three
// bytes is written four at a time (the last of them to be written over, within the room).
inline char* putBasicCharacter(uint32_t unit, char* out)
{
    if (unit < 0x80) {
        *out = static_cast<char>(unit);
        return out + 1;
    }
    if (unit < 0x800) {
        const auto two = static_cast<uint16_t>((0xC0 | (unit >> 6)) | ((0x80 | (unit & 0x3F)) << 8));
        std::memcpy(out, &two, sizeof two);
        return out + 2;
    }
    const uint32_t three = (0xE0 | (unit >> 12)) | ((0x80 | ((unit >> 6) & 0x3F)) << 8) | ((0x80 | (unit & 0x3F)) << 16);
    std::memcpy(out, &three, sizeof three);
    return out + 3;
}

// Whether the two-byte unit at bytes[i] is one of the segment's: a whole unit, and (in compressed
// text, AtZero) not the zero byte that switches back.
template <bool AtZero>
inline bool unitAt(const uint8_t* bytes, size_t i, size_t length)
{
    return i + 1 < length && (!AtZero || bytes[i] != 0);
}

// Surrogates from bytes[i] through the writer, up to where none waits for its partner (one left
// waiting at the segment's end becomes U+FFFD); returns where they stop.
template <bool AtZero>
inline size_t writeSurrogates(const uint8_t* bytes, size_t i, size_t length, char*& at)
{
    Utf8Writer writer(at);
    while (unitAt<AtZero>(bytes, i, length)) {
        writer.unit(static_cast<uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
        i += 2;
        if (writer.settled())
            break;
    }
    writer.finish();
    at = writer.end();
    return i;
}

// The character at bytes[i]: one of the Basic Multilingual Plane in one store, surrogates through
// the writer. Returns where the next one starts.
template <bool AtZero>
inline size_t writeCharacter(const uint8_t* bytes, size_t i, size_t length, char*& at)
{
    const uint32_t unit = bytes[i] | (uint32_t{bytes[i + 1]} << 8);
    if (unit - 0xD800u < 0x800u)
        return writeSurrogates<AtZero>(bytes, i, length, at);
    at = putBasicCharacter(unit, at);
    return i + 2;
}

// The two-byte characters of compressed text from bytes[i] up to the zero byte that switches
// back (or the end, or a last lone byte), with a local write position. Returns where it stopped.
inline size_t writeUnits(const uint8_t* bytes, size_t i, size_t length, char*& out)
{
    char* at = out;
    while (unitAt<true>(bytes, i, length))
        i = writeCharacter<true>(bytes, i, length, at);
    out = at;
    return i;
}

using CompressedWriter = size_t (*)(const uint8_t* bytes, size_t i, size_t length, char*& out);
using UnitsWriter = CompressedWriter;

// Two-byte units below U+0080 from bytes[i] on, four at a time as long as they come, each written
// as its low byte; returns where they stop.
inline size_t writeAsciiUnitsPortably(const uint8_t* bytes, size_t i, size_t length, char*& out)
{
    while (i + 8 <= length) {
        const uint64_t eight = eightAt(bytes + i);
        if (!fourAsciiUnits(eight))
            break;
        const uint64_t lows = eight & 0x00FF00FF00FF00FFull;
        const uint64_t pairs = (lows | (lows >> 8)) & 0x0000FFFF0000FFFFull;
        const auto four = static_cast<uint32_t>(pairs | (pairs >> 16));
        std::memcpy(out, &four, sizeof four);
        out += 4;
        i += 8;
    }
    return i;
}

#if defined(__x86_64__)
// The same eight units at a time (SSE2, which every x86-64 processor has), the rest as above.
inline size_t writeAsciiUnitsBySse2(const uint8_t* bytes, size_t i, size_t length, char*& out)
{
    const __m128i notAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= length) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(units, notAscii), zero)) != 0xFFFF)
            break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(units, units));
        out += 8;
        i += 16;
    }
    return writeAsciiUnitsPortably(bytes, i, length, out);
}
#endif

using AsciiUnitsWriter = size_t (*)(const uint8_t* bytes, size_t i, size_t length, char*& out);

// Text stored two bytes a character: units below U+0080 many at once, as long as they come; any
// other a character at a time.
template <AsciiUnitsWriter writeAsciiUnits>
inline size_t writeUnitsWithAsciiRuns(const uint8_t* bytes, size_t i, size_t length, char*& out)
{
    while (i + 1 < length) {
        if (i + 8 <= length && fourAsciiUnits(eightAt(bytes + i)))
            i = writeAsciiUnits(bytes, i, length, out);
        else
            i = writeCharacter<false>(bytes, i, length, out);
    }
    return i;
}

// Compressed text from bytes[i] on, whose characters there take one byte each or (twoBytes) two:
// its compressed characters, and the two-byte ones of its segments, each zero byte switching.
template <CompressedWriter writeCompressed, UnitsWriter writeSegmentUnits>
inline __attribute__((always_inline)) char* writeCompressedFrom(const uint8_t* bytes, size_t i, size_t length, bool twoBytes,
                                                                char* out)
{
    while (i < length) {
        if (!twoBytes) {
            i = writeCompressed(bytes, i, length, out);
            if (i == length)
                break;
        } else {
            i = writeSegmentUnits(bytes, i, length, out);
            if (i + 1 >= length)  // the end, or a last lone byte
                break;
        }
        ++i;  // past the zero byte that switches
        twoBytes = !twoBytes;
    }
    return out;
}

// Inlined whole into each way of writing Jet 4 text (also into those that use the processor's
// vector instructions, so that each segment of compressed text costs no call): its compressed
// characters, the two-byte ones of its compressed segments, and those of text stored two bytes a
// character.
template <CompressedWriter writeCompressed, UnitsWriter writeSegmentUnits, UnitsWriter writeAllUnits>
inline __attribute__((always_inline)) char* writeJet4Text(const uint8_t* bytes, size_t length, char* out)
{
    if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return writeCompressedFrom<writeCompressed, writeSegmentUnits>(bytes, 2, length, false, out);
    writeAllUnits(bytes, 0, length, out);
    return out;
}

#if defined(__x86_64__)
// Sixteen two-byte units (n of them kept, none a surrogate) as UTF-8 at at, by the processor's
// AVX-512 instructions: each unit's one, two or three bytes laid out in four, whichever its size,
// and those kept packed together by one compress; returns the end.
VARNEX_AVX512_TEXT char* putUnitsByAvx512(__m256i units, unsigned n, char* at)
{
    constexpr __mmask16 kAll = 0xFFFF;  // (the masked forms: those without leave gcc 12 warning of their undefined start)
    const __m512i u = _mm512_maskz_cvtepu16_epi32(kAll, units);
    const __m512i low6 = _mm512_set1_epi32(0x3F);
    const __m512i continuation = _mm512_set1_epi32(0x80);
    const auto taken = static_cast<__mmask16>((1u << n) - 1);
    const __mmask16 two = _mm512_mask_cmpge_epu32_mask(taken, u, _mm512_set1_epi32(0x80));
    const __mmask16 three = _mm512_mask_cmpge_epu32_mask(taken, u, _mm512_set1_epi32(0x800));
    const __m512i last = _mm512_or_si512(_mm512_and_si512(u, low6), continuation);
    const __m512i middle = _mm512_or_si512(_mm512_and_si512(_mm512_maskz_srli_epi32(kAll, u, 6), low6), continuation);
    const __m512i asTwo = _mm512_or_si512(_mm512_or_si512(_mm512_maskz_srli_epi32(kAll, u, 6), _mm512_set1_epi32(0xC0)), _mm512_maskz_slli_epi32(kAll, last, 8));
    const __m512i asThree = _mm512_or_si512(_mm512_or_si512(_mm512_maskz_srli_epi32(kAll, u, 12), _mm512_set1_epi32(0xE0)),
                                            _mm512_or_si512(_mm512_maskz_slli_epi32(kAll, middle, 8), _mm512_maskz_slli_epi32(kAll, last, 16)));
    const __m512i words = _mm512_mask_blend_epi32(three, _mm512_mask_blend_epi32(two, u, asTwo), asThree);
    const uint64_t kept = _pdep_u64(taken, 0x1111111111111111ull) | _pdep_u64(two, 0x2222222222222222ull) |
                          _pdep_u64(three, 0x4444444444444444ull);
    const auto count = static_cast<unsigned>(_mm_popcnt_u64(kept));
    const __mmask64 written = count == 64 ? ~__mmask64{0} : (__mmask64{1} << count) - 1;
    _mm512_mask_storeu_epi8(at, written, _mm512_maskz_compress_epi8(kept, words));
    return at + count;
}

// Text stored two bytes a character, sixteen units at a time by the processor's AVX-512
// instructions, up to the end or a surrogate, which goes through the writer; loads are masked to
// whole units. (The two-byte segments of compressed text are mostly too short to gain by it.)
VARNEX_AVX512_TEXT size_t writeUnitsByAvx512(const uint8_t* bytes, size_t i, size_t length, char*& out)
{
    const __m256i surrogateBase = _mm256_set1_epi16(static_cast<short>(0xD800));
    const __m256i surrogateRange = _mm256_set1_epi16(0x0800);
    char* at = out;
    while (i + 1 < length) {
        const auto whole = static_cast<unsigned>(std::min<size_t>((length - i) / 2, 16));
        const auto inText = static_cast<__mmask16>((1u << whole) - 1);
        const __m256i units = _mm256_maskz_loadu_epi16(inText, bytes + i);
        const unsigned surrogates = _mm256_mask_cmplt_epu16_mask(inText, _mm256_sub_epi16(units, surrogateBase), surrogateRange);
        const unsigned basic = surrogates ? static_cast<unsigned>(__builtin_ctz(surrogates)) : whole;
        at = putUnitsByAvx512(units, basic, at);
        i += 2 * basic;
        if (surrogates)
            i = writeSurrogates<false>(bytes, i, length, at);
    }
    out = at;
    return i;
}

constexpr uint64_t kEvenBits = 0x5555555555555555ull;
constexpr uint64_t kOddBits = 0xAAAAAAAAAAAAAAAAull;

// The bits from a up to b (at most 64).
VARNEX_AVX512_TEXT inline uint64_t bitsBetween(unsigned a, unsigned b)
{
    return _bzhi_u64(~uint64_t{0}, b) & ~_bzhi_u64(~uint64_t{0}, a);
}

// Where the characters of a block of compressed text lie: the byte of each one-byte character and
// the first of each two-byte one (starts), those first bytes alone (wide), and how many of the
// block's bytes they take (a two-byte character cut by the block's end is left to the next block).
struct CompressedBlock {
    uint64_t starts = 0;
    uint64_t wide = 0;
    unsigned taken = 0;
};

// The characters of the block's n bytes (zeros: its zero bytes), the first of which take two bytes
// each or not (twoBytes, left as they are after the block), a zero byte at a time: each where a
// character would start switches.
VARNEX_AVX512_TEXT CompressedBlock placeCharactersInTurn(uint64_t zeros, unsigned n, bool& twoBytes)
{
    CompressedBlock block;
    unsigned at = 0;
    while (at < n) {
        const uint64_t ahead = ~_bzhi_u64(~uint64_t{0}, at);
        if (!twoBytes) {
            const uint64_t switches = zeros & ahead;
            const unsigned end = switches ? static_cast<unsigned>(__builtin_ctzll(switches)) : n;
            block.starts |= bitsBetween(at, end);
            if (end >= n) {
                at = n;
                break;
            }
            at = end + 1;
        } else {
            const uint64_t firsts = ahead & ((at & 1) ? kOddBits : kEvenBits);
            const uint64_t switches = zeros & firsts;
            const unsigned end = switches ? static_cast<unsigned>(__builtin_ctzll(switches)) : at + ((n - at) & ~1u);
            block.wide |= firsts & bitsBetween(at, end);
            if (!switches) {
                at = end;
                break;
            }
            at = end + 1;
        }
        twoBytes = !twoBytes;
    }
    block.starts |= block.wide;
    block.taken = at;
    return block;
}

// Bit k: whether an odd number of the bits up to k are set.
inline uint64_t runningParity(uint64_t bits)
{
    bits ^= bits << 1;
    bits ^= bits << 2;
    bits ^= bits << 4;
    bits ^= bits << 8;
    bits ^= bits << 16;
    bits ^= bits << 32;
    return bits;
}

// As placeCharactersInTurn, all at once by taking every zero byte for a switch: then each two-byte
// stretch a zero byte ends holds whole characters. Where one does not (a zero byte was the second
// of a character's two), the block is placed in turn.
VARNEX_AVX512_TEXT inline CompressedBlock placeCharacters(uint64_t zeros, unsigned n, bool& twoBytes)
{
    const uint64_t inText = _bzhi_u64(~uint64_t{0}, n);
    const uint64_t twoByteBytes = (runningParity(zeros) ^ (twoBytes ? ~uint64_t{0} : 0)) & ~zeros & inText;
    const uint64_t stretchStarts = twoByteBytes & ~(twoByteBytes << 1);
    // Adding a stretch's first bit carries past its end: the bit after it is set, its own cleared.
    const uint64_t pastEvenStarts = twoByteBytes + (stretchStarts & kEvenBits);
    const uint64_t pastOddStarts = twoByteBytes + (stretchStarts & kOddBits);
    const uint64_t oddLengths = ((pastEvenStarts & ~twoByteBytes & kOddBits) | (pastOddStarts & ~twoByteBytes & kEvenBits)) & inText;
    if (oddLengths)
        return placeCharactersInTurn(zeros, n, twoBytes);
    const uint64_t fromEven = twoByteBytes & ~pastEvenStarts;
    CompressedBlock block;
    block.wide = (fromEven & kEvenBits) | (twoByteBytes & ~fromEven & kOddBits);
    block.taken = n;
    if (block.wide >> (n - 1) & 1) {  // cut by the block's end
        block.wide &= ~(uint64_t{1} << (n - 1));
        block.taken = n - 1;
    }
    block.starts = (inText & ~zeros & ~twoByteBytes) | block.wide;
    twoBytes ^= (_mm_popcnt_u64(zeros) & 1) != 0;
    return block;
}

// Half a block of compressed text (32 bytes) as UTF-8 at at: each character's bytes are laid out
// where it lies, two to a byte of the block, and those kept packed together by one compress. A
// character's first (or only) byte holds the first two bytes of its UTF-8, the second byte of a
// three-byte one the last. here: the bytes; after: the byte after each two-byte character's first
// (zero elsewhere); before: the byte before each one's second (its first). Returns the end.
VARNEX_AVX512_TEXT char* putHalfBlockByAvx512(__m256i here, __m256i after, __m256i before, uint32_t starts, uint32_t seconds,
                                              char* at)
{
    const __m512i low6 = _mm512_set1_epi16(0x3F);
    const __m512i continuation = _mm512_set1_epi16(0x80);
    const __m512i hereWide = _mm512_cvtepu8_epi16(here);
    const __m512i u = _mm512_or_si512(hereWide, _mm512_slli_epi16(_mm512_cvtepu8_epi16(after), 8));
    const __mmask32 two = _mm512_mask_cmpge_epu16_mask(starts, u, _mm512_set1_epi16(0x80));
    const __mmask32 three = _mm512_mask_cmpge_epu16_mask(starts, u, _mm512_set1_epi16(0x800));
    const __mmask32 thirdKept = _mm512_mask_cmpge_epu16_mask(seconds, hereWide, _mm512_set1_epi16(0x08));
    const __m512i last = _mm512_or_si512(_mm512_and_si512(u, low6), continuation);
    const __m512i middle = _mm512_or_si512(_mm512_and_si512(_mm512_srli_epi16(u, 6), low6), continuation);
    const __m512i asTwo = _mm512_or_si512(_mm512_or_si512(_mm512_srli_epi16(u, 6), _mm512_set1_epi16(0xC0)), _mm512_slli_epi16(last, 8));
    const __m512i asThree = _mm512_or_si512(_mm512_or_si512(_mm512_srli_epi16(u, 12), _mm512_set1_epi16(0xE0)), _mm512_slli_epi16(middle, 8));
    const __m512i third = _mm512_or_si512(_mm512_and_si512(_mm512_cvtepu8_epi16(before), low6), continuation);
    const __m512i firstTwo = _mm512_mask_blend_epi16(three, _mm512_mask_blend_epi16(two, u, asTwo), asThree);
    const __m512i laid = _mm512_mask_blend_epi16(seconds, firstTwo, third);
    const uint64_t kept = _pdep_u64(starts | thirdKept, kEvenBits) | _pdep_u64(two, kOddBits);
    const auto count = static_cast<unsigned>(_mm_popcnt_u64(kept));
    const __mmask64 written = count == 64 ? ~__mmask64{0} : (__mmask64{1} << count) - 1;
    _mm512_mask_storeu_epi8(at, written, _mm512_maskz_compress_epi8(kept, laid));
    return at + count;
}

// (The masked forms: those without leave gcc 12 warning of their undefined start.)
VARNEX_AVX512_TEXT inline __m256i lowerHalf(__m512i v)
{
    return _mm512_maskz_extracti64x4_epi64(0xFF, v, 0);
}

VARNEX_AVX512_TEXT inline __m256i upperHalf(__m512i v)
{
    return _mm512_maskz_extracti64x4_epi64(0xFF, v, 1);
}

// Compressed text, 64 bytes at a time by the processor's AVX-512 instructions: which bytes start a
// character, and of how many bytes, follows from the block's zero bytes at once, so that no switch
// ends a step. A block with a surrogate (rare in stored text), and all after it, goes the SSSE3 way.
VARNEX_AVX512_TEXT char* writeCompressedTextByAvx512(const uint8_t* bytes, size_t length, char* out)
{
    const __m512i zero = _mm512_setzero_si512();
    const __m512i surrogateBits = _mm512_set1_epi8(static_cast<char>(0xF8));
    const __m512i surrogateHigh = _mm512_set1_epi8(static_cast<char>(0xD8));
    bool twoBytes = false;
    size_t i = 2;  // past FF FE
    char* at = out;
    while (i < length) {
        const auto n = static_cast<unsigned>(std::min<size_t>(length - i, 64));
        const __mmask64 inText = _bzhi_u64(~uint64_t{0}, n);
        const __m512i v = _mm512_maskz_loadu_epi8(inText, bytes + i);
        const uint64_t zeros = _mm512_mask_cmpeq_epi8_mask(inText, v, zero);
        bool twoBytesAfter = twoBytes;
        const CompressedBlock block = placeCharacters(zeros, n, twoBytesAfter);
        const uint64_t seconds = block.wide << 1;
        const __m512i after = _mm512_maskz_loadu_epi8(block.wide, bytes + i + 1);
        if (_mm512_mask_cmpeq_epi8_mask(block.wide, _mm512_and_si512(after, surrogateBits), surrogateHigh))
            return writeCompressedFrom<writeCompressedBySsse3, writeUnits>(bytes, i, length, twoBytes, at);
        const __m512i before = _mm512_maskz_loadu_epi8(seconds, bytes + i - 1);
        at = putHalfBlockByAvx512(lowerHalf(v), lowerHalf(after), lowerHalf(before),
                                  static_cast<uint32_t>(block.starts), static_cast<uint32_t>(seconds), at);
        if (n > 32)
            at = putHalfBlockByAvx512(upperHalf(v), upperHalf(after), upperHalf(before), static_cast<uint32_t>(block.starts >> 32),
                                      static_cast<uint32_t>(seconds >> 32), at);
        if (block.taken == 0)  // a last lone byte
            break;
        twoBytes = twoBytesAfter;
        i += block.taken;
    }
    return at;
}

__attribute__((target("ssse3"))) char* writeJet4TextBySsse3(const uint8_t* bytes, size_t length, char* out)
{
    return writeJet4Text<writeCompressedBySsse3, writeUnits, writeUnitsWithAsciiRuns<writeAsciiUnitsBySse2>>(bytes, length, out);
}

VARNEX_AVX512_TEXT char* writeJet4TextByAvx512(const uint8_t* bytes, size_t length, char* out)
{
    if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return writeCompressedTextByAvx512(bytes, length, out);
    writeUnitsByAvx512(bytes, 0, length, out);
    return out;
}
#endif

char* writeJet4TextPortably(const uint8_t* bytes, size_t length, char* out)
{
    return writeJet4Text<writeCompressedPortably, writeUnits, writeUnitsWithAsciiRuns<writeAsciiUnitsPortably>>(bytes, length, out);
}

std::vector<Jet4TextWay> waysOfThisProcessor()
{
    std::vector<Jet4TextWay> ways{{"portable", writeJet4TextPortably}};
#if defined(__x86_64__)
    if (hasSsse3())
        ways.push_back({"SSSE3", writeJet4TextBySsse3});
    if (hasAvx512Text())
        ways.push_back({"AVX-512", writeJet4TextByAvx512});
#endif
    return ways;
}

// The fastest way, picked once as the program starts, so that each text costs only a call.
const Jet4TextWay::Writer kFastestWay = waysOfThisProcessor().back().write;

}  // namespace

const std::vector<Jet4TextWay>& jet4TextWays()
{
    static const std::vector<Jet4TextWay> ways = waysOfThisProcessor();
    return ways;
}

char* writeJet4TextUtf8(const uint8_t* bytes, size_t length, char* out)
{
    return kFastestWay(bytes, length, out);
}

void appendJet4TextUtf8(const uint8_t* bytes, size_t length, std::string& out)
{
    const size_t start = out.size();
    out.resize(start + jet4TextUtf8Room(length));
    char* const end = writeJet4TextUtf8(bytes, length, out.data() + start);
    out.resize(static_cast<size_t>(end - out.data()));
}

Jet3Characters::Jet3Characters(const CodePageTable& codePage)
{
    for (unsigned b = 0; b < 256; ++b) {
        const std::string ascii(1, static_cast<char>(b));
        const std::string& character = b < 0x80 ? ascii : codePage[b];
        const size_t length = std::min(character.size(), sizeof utf8_[b]);  // a character of the BMP: three at most
        std::memcpy(&utf8_[b], character.data(), length);
        lengths_[b] = static_cast<uint8_t>(length);
    }
}

// Sixteen bytes are looked at a time while as many are left: copied whole where all are ASCII,
// else each written by the table, without a branch on its kind (text of Latin letters has one
// every few bytes); so are the last bytes. out has room for four bytes a byte.
char* writeJet3TextUtf8(const Jet3Characters& characters, const uint8_t* bytes, size_t length, char* out)
{
    size_t i = 0;
#if defined(__x86_64__)
    while (i + 16 <= length) {
        const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        if (_mm_movemask_epi8(sixteen) == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), sixteen);
            out += 16;
            i += 16;
            continue;
        }
        for (const size_t end = i + 16; i < end; ++i)
            out = characters.put(bytes[i], out);
    }
#endif
    for (; i < length; ++i)
        out = characters.put(bytes[i], out);
    return out;
}

void appendJet3TextUtf8(const CodePageTable& codePage, const uint8_t* bytes, size_t length, std::string& out)
{
    const size_t start = out.size();
    out.resize(start + jet3TextUtf8Room(length));
    char* const end = writeJet3TextUtf8(Jet3Characters(codePage), bytes, length, out.data() + start);
    out.resize(static_cast<size_t>(end - out.data()));
}

}  // namespace varnex::reader
