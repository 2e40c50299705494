#include "core/ByteText.h"

#include <cstdint>

namespace varnex {
namespace {

constexpr char16_t kRawByteBase = 0xDC00;

bool isContinuation(uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

// The code point of the valid UTF-8 sequence at the start of bytes and its length, or a length of 0.
// Overlong forms, surrogates and code points beyond U+10FFFF are not valid.
int decodeSequence(QByteArrayView bytes, char32_t& codePoint)
{
    const auto lead = static_cast<uint8_t>(bytes[0]);
    int length = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        least = 0x80;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        least = 0x800;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        least = 0x10000;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<uint8_t>(bytes[i]);
        if (!isContinuation(next))
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < least || surrogate || codePoint > 0x10FFFF ? 0 : length;
}

bool isRawByte(QStringView text, qsizetype at)
{
    const char16_t unit = text[at].unicode();
    if (unit < kRawByteBase + 0x80 || unit > kRawByteBase + 0xFF)
        return false;
    // A low surrogate after a high one is half of a character, not a byte.
    return at == 0 || !text[at - 1].isHighSurrogate();
}

}  // namespace

QString bytesToText(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        char32_t codePoint = 0;
        const int length = decodeSequence(bytes, codePoint);
        if (length == 0) {
            text.append(QChar(static_cast<char16_t>(kRawByteBase + static_cast<uint8_t>(bytes[0]))));
            bytes = bytes.sliced(1);
            continue;
        }
        text.append(QChar::fromUcs4(codePoint));
        bytes = bytes.sliced(length);
    }
    return text;
}

QByteArray textToBytes(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype plainFrom = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (!isRawByte(text, at))
            continue;
        bytes += text.sliced(plainFrom, at - plainFrom).toUtf8();
        bytes += static_cast<char>(text[at].unicode() - kRawByteBase);
        plainFrom = at + 1;
    }
    bytes += text.sliced(plainFrom).toUtf8();
    return bytes;
}

bool holdsRawBytes(QStringView text)
{
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (isRawByte(text, at))
            return true;
    }
    return false;
}

}  // namespace varnex
