#include "core/ByteText.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace varnex {
namespace {

// The text with each "<XX>" read as the byte XX kept whole (a lone surrogate cannot be written in a literal).
QString withRawBytes(const QString& pattern)
{
    QString text;
    for (qsizetype at = 0; at < pattern.size(); ++at) {
        bool isByte = false;
        const uint byte = pattern.mid(at + 1, 2).toUInt(&isByte, 16);
        if (pattern[at] == u'<' && isByte && pattern.mid(at + 3, 1) == u">") {
            text += QChar(char16_t(0xDC00 + byte));
            at += 3;
        } else {
            text += pattern[at];
        }
    }
    return text;
}

// What each byte string reads as; every one comes back whole.
TEST(ByteText, ReadsUtf8AsTextAndKeepsEveryOtherByte)
{
    struct Case {
        QByteArray bytes;
        QString text;
        bool raw;
    };
    const Case cases[] = {
        {"", "", false},
        {"plain.mdb", "plain.mdb", false},
        {"Zo\xC3\xAB \xE2\x82\xAC \xF0\x9F\x92\xA9", u"Zo\u00EB \u20AC \U0001F4A9"_qs, false},
        {"out\xFF.csv", withRawBytes("out<FF>.csv"), true},
        {"\xC3", withRawBytes("<C3>"), true},                           // a sequence cut short
        {"\xC0\x80", withRawBytes("<C0><80>"), true},                    // an overlong NUL
        {"\xED\xA0\x80", withRawBytes("<ED><A0><80>"), true},             // an encoded surrogate
        {"\xF4\x90\x80\x80", withRawBytes("<F4><90><80><80>"), true},      // beyond U+10FFFF
        {"\x80\xC3\xAB\xFE", withRawBytes(u"<80>\u00EB<FE>"_qs), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        const QString text = bytesToText(c.bytes);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(holdsRawBytes(text), c.raw);
        EXPECT_EQ(textToBytes(text), c.bytes);
        EXPECT_EQ(text.toUtf8() == c.bytes, !c.raw);
    }
    // A lone surrogate of that range in text (a damaged name) stays a byte; a pair stays a character.
    EXPECT_FALSE(holdsRawBytes(u"\U0001F4A9"_qs));
    EXPECT_EQ(textToBytes(withRawBytes("a<E9>")), QByteArray("a\xE9"));
}

TEST(ByteText, AnyBytesComeBackWhole)
{
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes(random.bounded(1, 24), Qt::Uninitialized);
        for (char& byte : bytes)
            byte = static_cast<char>(random.bounded(256));
        ASSERT_EQ(textToBytes(bytesToText(bytes)), bytes) << "seed " << seed << ", bytes " << bytes.toHex().toStdString();
    }
}

}  // namespace
}  // namespace varnex
