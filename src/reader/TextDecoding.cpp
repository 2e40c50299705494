#include "reader/TextDecoding.h"

namespace varnex::reader {
namespace {

void appendCodePoint(uint32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// UTF-16 units to UTF-8; a surrogate without its partner becomes U+FFFD.
class Utf16ToUtf8 {
public:
    explicit Utf16ToUtf8(std::string& out) : out_(out) {}
    ~Utf16ToUtf8() { flush(); }

    void put(uint16_t unit)
    {
        if (unit >= 0xDC00 && unit <= 0xDFFF && high_) {
            appendCodePoint(0x10000 + ((static_cast<uint32_t>(high_) - 0xD800) << 10) + (unit - 0xDC00u), out_);
            high_ = 0;
            return;
        }
        flush();
        if (unit >= 0xD800 && unit <= 0xDBFF)
            high_ = unit;
        else if (unit >= 0xDC00 && unit <= 0xDFFF)
            appendCodePoint(0xFFFD, out_);
        else
            appendCodePoint(unit, out_);
    }

private:
    void flush()
    {
        if (high_)
            appendCodePoint(0xFFFD, out_);
        high_ = 0;
    }

    std::string& out_;
    uint16_t high_ = 0;
};

}  // namespace

void appendJet4TextUtf8(const uint8_t* bytes, size_t length, std::string& out)
{
    Utf16ToUtf8 converter(out);
    if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        bool compressed = true;
        size_t i = 2;
        while (i < length) {
            if (bytes[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                converter.put(bytes[i++]);
            } else if (i + 1 < length) {
                converter.put(static_cast<uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
                i += 2;
            } else {
                break;
            }
        }
        return;
    }
    for (size_t i = 0; i + 1 < length; i += 2)
        converter.put(static_cast<uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
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
