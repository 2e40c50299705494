#include "core/LocaleCodec.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

class LocaleCodec : public ::testing::Test {
protected:
    void TearDown() override { setLocaleCodeSetForTesting({}); }
};

struct CodecCase {
    QByteArray codeSet;
    QString text;
    QByteArray bytes;     // what the text becomes
    QString readBack;     // what those bytes read as
};

TEST_F(LocaleCodec, UnrepresentableCharactersBecomeQuestionMarks)
{
    const QString mixed = QString::fromUtf8("Zoë 5€ 漢 😀");
    const std::vector<CodecCase> cases = {
        {"UTF-8", mixed, mixed.toUtf8(), mixed},
        {"ISO-8859-1", mixed, QByteArray("Zo\xEB 5? ? ?"), QString::fromUtf8("Zoë 5? ? ?")},
        {"ISO-8859-15", mixed, QByteArray("Zo\xEB 5\xA4 ? ?"), QString::fromUtf8("Zoë 5€ ? ?")},
        {"CP1252", mixed, QByteArray("Zo\xEB 5\x80 ? ?"), QString::fromUtf8("Zoë 5€ ? ?")},
        {"ANSI_X3.4-1968", mixed, QByteArray("Zo? 5? ? ?"), QString::fromUtf8("Zo? 5? ? ?")},
        {"ISO-8859-1", "plain ascii", "plain ascii", "plain ascii"},
    };
    for (const CodecCase& c : cases) {
        SCOPED_TRACE(c.codeSet.constData());
        setLocaleCodeSetForTesting(c.codeSet);
        EXPECT_EQ(toLocaleBytes(c.text), c.bytes);
        EXPECT_EQ(fromLocaleBytes(c.bytes), c.readBack);
        EXPECT_EQ(localeIsUtf8(), c.codeSet == "UTF-8");
    }
}

TEST_F(LocaleCodec, AppendsToWhatIsThere)
{
    setLocaleCodeSetForTesting("ISO-8859-1");
    QByteArray out = "a,";
    appendLocaleBytes(out, u"b\u00E9");
    appendLocaleBytes(out, u"c");
    EXPECT_EQ(out, QByteArray("a,b\xE9" "c"));
}

TEST_F(LocaleCodec, FollowsTheUserLocale)
{
    // Without an override the code set is the one of the user's locale, whatever it is here.
    setLocaleCodeSetForTesting({});
    EXPECT_FALSE(localeCodeSet().isEmpty());
    EXPECT_EQ(toLocaleBytes(u"abc"), QByteArray("abc"));
}

}  // namespace
}  // namespace varnex
