#include "core/LocaleCodec.h"

#include <QMutex>
#include <QMutexLocker>

#include <cerrno>
#include <clocale>
#include <iconv.h>
#include <langinfo.h>

namespace varnex {
namespace {

// The user's locale code set, independent of what the process has set with setlocale.
QByteArray userLocaleCodeSet()
{
    locale_t loc = newlocale(LC_CTYPE_MASK, "", locale_t(nullptr));
    if (!loc)
        loc = newlocale(LC_CTYPE_MASK, "C", locale_t(nullptr));
    QByteArray name = loc ? QByteArray(nl_langinfo_l(CODESET, loc)) : QByteArray("ANSI_X3.4-1968");
    if (loc)
        freelocale(loc);
    return name;
}

bool isUtf8Name(const QByteArray& name)
{
    const QByteArray n = name.toUpper();
    return n == "UTF-8" || n == "UTF8";
}

// One converter pair per code set, shared by every caller (the program has one UI thread;
// the mutex only keeps a stray worker safe).
class Converter {
public:
    explicit Converter(QByteArray codeSet)
        : codeSet_(std::move(codeSet)), utf8_(isUtf8Name(codeSet_))
    {
        if (utf8_)
            return;
        toAnsi_ = iconv_open(codeSet_.constData(), "UTF-8");
        fromAnsi_ = iconv_open("UTF-8", codeSet_.constData());
    }
    ~Converter()
    {
        if (toAnsi_ != invalid())
            iconv_close(toAnsi_);
        if (fromAnsi_ != invalid())
            iconv_close(fromAnsi_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    const QByteArray& codeSet() const { return codeSet_; }
    bool utf8() const { return utf8_; }

    void encode(QByteArray& out, QStringView text)
    {
        QMutexLocker lock(&mutex_);
        const QByteArray utf8 = text.toUtf8();
        convert(toAnsi_, out, utf8, /*input is UTF-8*/ true);
    }

    QString decode(QByteArrayView bytes)
    {
        QMutexLocker lock(&mutex_);
        QByteArray utf8;
        convert(fromAnsi_, utf8, bytes, false);
        return QString::fromUtf8(utf8);
    }

private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }

    // Converts in, writing "?" for each character that cannot be converted.
    static void convert(iconv_t cd, QByteArray& out, QByteArrayView in, bool inputIsUtf8)
    {
        if (cd == invalid()) {
            for (char c : in)
                out.append(static_cast<unsigned char>(c) < 0x80 ? c : '?');
            return;
        }
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = static_cast<size_t>(in.size());
        char buffer[4096];
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<qsizetype>(dst - buffer));
            if (rc != static_cast<size_t>(-1) || errno == E2BIG)
                continue;
            // EILSEQ / EINVAL: skip one character of the input and stand "?" in for it.
            out.append('?');
            const size_t skip = inputIsUtf8 ? utf8SequenceLength(static_cast<unsigned char>(*src)) : 1;
            const size_t step = skip < srcLeft ? skip : srcLeft;
            src += step;
            srcLeft -= step;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        iconv(cd, nullptr, nullptr, &dst, &dstLeft);
        out.append(buffer, static_cast<qsizetype>(dst - buffer));
    }

    static size_t utf8SequenceLength(unsigned char lead)
    {
        if (lead >= 0xF0) return 4;
        if (lead >= 0xE0) return 3;
        if (lead >= 0xC0) return 2;
        return 1;
    }

    QByteArray codeSet_;
    bool utf8_;
    iconv_t toAnsi_ = invalid();
    iconv_t fromAnsi_ = invalid();
    QMutex mutex_;
};

struct CodecState {
    QMutex mutex;
    QByteArray forced;
    std::shared_ptr<Converter> converter;
};

CodecState& state()
{
    static CodecState s;
    return s;
}

std::shared_ptr<Converter> converter()
{
    CodecState& s = state();
    QMutexLocker lock(&s.mutex);
    if (!s.converter)
        s.converter = std::make_shared<Converter>(s.forced.isEmpty() ? userLocaleCodeSet() : s.forced);
    return s.converter;
}

bool isAscii(QStringView text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

}  // namespace

void appendLocaleBytes(QByteArray& out, QStringView text)
{
    const std::shared_ptr<Converter> conv = converter();
    if (conv->utf8()) {
        out.append(text.toUtf8());
        return;
    }
    if (isAscii(text)) {
        const qsizetype start = out.size();
        out.resize(start + text.size());
        char* dst = out.data() + start;
        for (QChar c : text)
            *dst++ = static_cast<char>(c.unicode());
        return;
    }
    conv->encode(out, text);
}

QByteArray toLocaleBytes(QStringView text)
{
    QByteArray out;
    appendLocaleBytes(out, text);
    return out;
}

QString fromLocaleBytes(QByteArrayView bytes)
{
    const std::shared_ptr<Converter> conv = converter();
    if (conv->utf8())
        return QString::fromUtf8(bytes);
    return conv->decode(bytes);
}

bool localeIsUtf8() { return converter()->utf8(); }

QByteArray localeCodeSet() { return converter()->codeSet(); }

void setLocaleCodeSetForTesting(const QByteArray& codeSet)
{
    CodecState& s = state();
    QMutexLocker lock(&s.mutex);
    s.forced = codeSet;
    s.converter.reset();
}

}  // namespace varnex
