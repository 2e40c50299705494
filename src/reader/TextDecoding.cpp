#include "reader/TextDecoding.h"

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

}  // namespace

void appendJet4TextUtf8(const uint8_t* bytes, size_t length, std::string& out)
{
    const size_t start = out.size();
    // A stored byte gives at most two bytes of UTF-8 (a compressed character up to U+00FF), and a
    // stored unit of two bytes at most three.
    out.resize(start + 2 * length + 3);
    Utf8Writer writer(out.data() + start);
    if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        bool compressed = true;
        size_t i = 2;
        while (i < length) {
            if (bytes[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                size_t run = i;
                while (run < length && bytes[run] != 0 && bytes[run] < 0x80)
                    ++run;
                if (run > i) {
                    writer.ascii(bytes + i, run - i);
                    i = run;
                } else {
                    writer.unit(bytes[i++]);
                }
            } else if (i + 1 < length) {
                writer.unit(static_cast<uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
                i += 2;
            } else {
                break;
            }
        }
    } else {
        for (size_t i = 0; i + 1 < length; i += 2)
            writer.unit(static_cast<uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    writer.finish();
    out.resize(static_cast<size_t>(writer.end() - out.data()));
}

void appendJet3TextUtf8(const CodePageTable& codePage, const uint8_t* bytes, size_t length, std::string& out)
{
    for (size_t i = 0; i < length; ++i) {
        if (bytes[i] < 0x80)
            out.push_back(static_cast<char>(bytes[i]));
        else
            out += codePage[bytes[i]];
    }
}

}  // namespace varnex::reader
