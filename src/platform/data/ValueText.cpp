#include "platform/data/ValueText.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include <charconv>
#include <cmath>

namespace varnex {
namespace {

QString WithLocaleSeparator(std::string text)
{
    for (char& c : text) {
        if (c == 'e')
            c = 'E';
    }
    QString result = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    const QString separator = DecimalSeparator();
    if (separator != u".")
        result.replace(u'.', separator);
    return result;
}

QString ScaledText(bool negative, UInt128 magnitude, int scale)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude != 0);
    if (static_cast<int>(digits.size()) <= scale)
        digits.insert(0, static_cast<size_t>(scale) - digits.size() + 1, '0');
    std::string whole = digits.substr(0, digits.size() - static_cast<size_t>(scale));
    std::string fraction = digits.substr(digits.size() - static_cast<size_t>(scale));
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    const bool zero = whole == "0" && fraction.empty();
    QString text = QString::fromLatin1(((negative && !zero) ? "-" : "") + whole);
    if (!fraction.empty())
        text += DecimalSeparator() + QString::fromLatin1(fraction);
    return text;
}

}  // namespace

// A two-digit year would make dates a century apart look the same.
QString ShortDateFormat(const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(u"yyyy"))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

// A stored time has no time zone.
QString LongTimeFormat(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return format.trimmed();
}

QString DecimalSeparator()
{
    return QLocale().decimalPoint();
}

QString IntegerText(int64_t value)
{
    return QString::number(value);
}

QString RealText(double value, int significantDigits)
{
    if (value == 0)
        return QStringLiteral("0");
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, significantDigits);
    return WithLocaleSeparator(std::string(buffer, result.ptr));
}

QString CurrencyText(int64_t tenThousandths)
{
    const bool negative = tenThousandths < 0;
    const auto magnitude = negative ? static_cast<UInt128>(-static_cast<Int128>(tenThousandths))
                                    : static_cast<UInt128>(tenThousandths);
    return ScaledText(negative, magnitude, 4);
}

QString DecimalText(const DecimalValue& value)
{
    return ScaledText(value.negative, value.mantissa, value.scale);
}

QString DateText(double days)
{
    const double wholeDays = std::trunc(days);
    // Beyond a 64-bit day count no date can be formed (and converting would be undefined).
    if (!std::isfinite(days) || std::fabs(wholeDays) >= 9.2e18)
        return {};
    auto seconds = static_cast<int64_t>(std::llround(std::fabs(days - wholeDays) * 86400.0));
    QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(wholeDays));
    if (seconds >= 86400) {
        seconds -= 86400;
        date = date.addDays(1);
    }
    const QLocale locale;
    const QTime time = QTime(0, 0).addSecs(static_cast<int>(seconds));
    const QString timeText = locale.toString(time, LongTimeFormat(locale));
    if (wholeDays == 0)
        return timeText;
    const QString dateText = locale.toString(date, ShortDateFormat(locale));
    return seconds == 0 ? dateText : dateText + u' ' + timeText;
}

QString BooleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString GuidText(const GuidBytes& b)
{
    const auto hex = [](unsigned value, int width) { return QString::number(value, 16).toUpper().rightJustified(width, u'0'); };
    const unsigned first = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<unsigned>(b[3]) << 24);
    QString text = u'{' + hex(first, 8) + u'-' + hex(b[4] | (b[5] << 8), 4) + u'-' + hex(b[6] | (b[7] << 8), 4) + u'-';
    for (size_t i = 8; i < 16; ++i) {
        if (i == 10)
            text += u'-';
        text += hex(b[i], 2);
    }
    return text + u'}';
}

QString BinaryText(const char* bytes, size_t length)
{
    return QString::fromLatin1(QByteArray(bytes, static_cast<qsizetype>(length)).toHex().toUpper());
}

QString ValueText(const Variant& value)
{
    switch (value.kind()) {
    case Variant::Kind::Null: return {};
    case Variant::Kind::Boolean: return BooleanText(value.toBool());
    case Variant::Kind::Byte:
    case Variant::Kind::Integer:
    case Variant::Kind::Long:
    case Variant::Kind::BigInt: return IntegerText(value.toInt64());
    case Variant::Kind::Single: return RealText(value.toDouble(), 7);
    case Variant::Kind::Double: return RealText(value.toDouble(), 15);
    case Variant::Kind::Currency: return CurrencyText(value.toInt64());
    case Variant::Kind::Decimal: return DecimalText(value.toDecimal());
    case Variant::Kind::Date: return DateText(value.toDouble());
    case Variant::Kind::Text: return value.toText();
    case Variant::Kind::Binary: return BinaryText(value.toBytes().constData(), static_cast<size_t>(value.toBytes().size()));
    case Variant::Kind::Guid: return GuidText(value.toGuid());
    }
    return {};
}

}  // namespace varnex
