#include "store/CodePage.h"

#include <iconv.h>

namespace varnex {
namespace {

iconv_t openDecoder(uint16_t codePage)
{
    const std::string name = "CP" + std::to_string(codePage);
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        cd = iconv_open("UTF-8", "CP1252");
    return cd;
}

std::string decodeByte(iconv_t cd, uint8_t byte)
{
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
        return "?";
    return std::string(out, static_cast<size_t>(outPtr - out));
}

}  // namespace

CodePageTable makeCodePageTable(uint16_t codePage)
{
    CodePageTable table;
    iconv_t cd = openDecoder(codePage == 0 ? 1252 : codePage);
    for (int b = 0; b < 256; ++b) {
        if (b < 0x80 || cd == reinterpret_cast<iconv_t>(-1))
            table[static_cast<size_t>(b)] = b < 0x80 ? std::string(1, static_cast<char>(b)) : std::string("?");
        else
            table[static_cast<size_t>(b)] = decodeByte(cd, static_cast<uint8_t>(b));
    }
    if (cd != reinterpret_cast<iconv_t>(-1))
        iconv_close(cd);
    return table;
}

QString decodeCodePage(const CodePageTable& table, const char* bytes, size_t length)
{
    std::string utf8;
    utf8.reserve(length);
    for (size_t i = 0; i < length; ++i)
        utf8 += table[static_cast<uint8_t>(bytes[i])];
    return QString::fromStdString(utf8);
}

}  // namespace varnex
