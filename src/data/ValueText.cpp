#include "data/ValueText.h"

#include "data/ExtendedDateText.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include <charconv>
#include <cmath>

namespace varnex {
namespace {

QString withLocaleSeparator(std::string text)
{
    for (char& c : text) {
        if (c == 'e')
            c = 'E';
    }
    QString result = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    const QString separator = decimalSeparator();
    if (separator != u".")
        result.replace(u'.', separator);
    return result;
}

QString scaledText(bool negative, UInt128 magnitude, int scale)
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
        text += decimalSeparator() + QString::fromLatin1(fraction);
    return text;
}

}  // namespace

// A two-digit year would make dates a century apart look the same.
QString shortDateFormat(const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(u"yyyy"))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

// A stored time has no time zone.
QString longTimeFormat(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return format.trimmed();
}

QString decimalSeparator()
{
    return QLocale().decimalPoint();
}

QString integerText(int64_t value)
{
    return QString::number(value);
}

QString realText(double value, int significantDigits)
{
    if (value == 0)
        return QStringLiteral("0");
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, significantDigits);
    return withLocaleSeparator(std::string(buffer, result.ptr));
}

QString currencyText(int64_t tenThousandths)
{
    const bool negative = tenThousandths < 0;
    const auto magnitude = negative ? static_cast<UInt128>(-static_cast<Int128>(tenThousandths))
                                    : static_cast<UInt128>(tenThousandths);
    return scaledText(negative, magnitude, 4);
}

QString decimalText(const DecimalValue& value)
{
    return scaledText(value.negative, value.mantissa, value.scale);
}

QString dateText(double days)
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
    const QString timeText = locale.toString(time, longTimeFormat(locale));
    if (wholeDays == 0)
        return timeText;
    const QString dateText = locale.toString(date, shortDateFormat(locale));
    return seconds == 0 ? dateText : dateText + u' ' + timeText;
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString guidText(const GuidBytes& b)
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

QString binaryText(const char* bytes, size_t length)
{
    return QString::fromLatin1(QByteArray(bytes, static_cast<qsizetype>(length)).toHex().toUpper());
}

QString valueText(const Variant& value)
{
    switch (value.kind()) {
    case Variant::Kind::Null: return {};
    case Variant::Kind::Boolean: return booleanText(value.toBool());
    case Variant::Kind::Byte:
    case Variant::Kind::Integer:
    case Variant::Kind::Long:
    case Variant::Kind::BigInt: return integerText(value.toInt64());
    case Variant::Kind::Single: return realText(value.toDouble(), 7);
    case Variant::Kind::Double: return realText(value.toDouble(), 15);
    case Variant::Kind::Currency: return currencyText(value.toInt64());
    case Variant::Kind::Decimal: return decimalText(value.toDecimal());
    case Variant::Kind::Date: return dateText(value.toDouble());
    case Variant::Kind::Text: return value.toText();
    case Variant::Kind::Binary: return binaryText(value.toBytes().constData(), static_cast<size_t>(value.toBytes().size()));
    case Variant::Kind::Guid: return guidText(value.toGuid());
    case Variant::Kind::ExtendedDate: return extendedDateText(value.toInt64());
    }
    return {};
}

}  // namespace varnex
