#include "data/ValueFormatter.h"

#include "data/ExtendedDateText.h"
#include "data/IsoDateTime.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <mutex>

namespace varnex {
namespace {

// Writes the decimal digits of value just before `end`; returns where they start.
template <class Unsigned>
char* digitsBefore(char* end, Unsigned value)
{
    do {
        *--end = static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    } while (value != 0);
    return end;
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendHex(unsigned value, int digits, std::string& out)
{
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += kHexDigits[(value >> shift) & 0xF];
}

}  // namespace

ValueFormatter::ValueFormatter() : ValueFormatter(QLocale()) {}

ValueFormatter::ValueFormatter(const QLocale& locale)
    : locale_(locale), decimalSeparator_(locale_.decimalPoint().toStdString()), dateTime_(locale_)
{
}

std::shared_ptr<const ValueFormatter> ValueFormatter::forDefaultLocale()
{
    static std::mutex mutex;
    static std::shared_ptr<const ValueFormatter> cached;
    const QLocale current;
    const std::lock_guard lock(mutex);
    if (!cached || !(cached->locale() == current))
        cached = std::make_shared<const ValueFormatter>();
    return cached;
}

void ValueFormatter::appendValue(const Variant& value, std::string& out) const
{
    switch (value.kind()) {
    case Variant::Kind::Null: return;
    case Variant::Kind::Boolean: appendBoolean(value.toBool(), out); return;
    case Variant::Kind::Byte:
    case Variant::Kind::Integer:
    case Variant::Kind::Long:
    case Variant::Kind::BigInt: appendInteger(value.toInt64(), out); return;
    case Variant::Kind::Single: appendReal(value.toDouble(), 7, out); return;
    case Variant::Kind::Double: appendReal(value.toDouble(), 15, out); return;
    case Variant::Kind::Currency: appendCurrency(value.toInt64(), out); return;
    case Variant::Kind::Decimal: appendDecimal(value.toDecimal(), out); return;
    case Variant::Kind::Date: appendDate(value.toDouble(), out); return;
    case Variant::Kind::Text: out += value.toText().toStdString(); return;
    case Variant::Kind::Binary:
        appendBinary(value.toBytes().constData(), static_cast<size_t>(value.toBytes().size()), out);
        return;
    case Variant::Kind::Guid: appendGuid(value.toGuid(), out); return;
    case Variant::Kind::ExtendedDate: appendExtendedDate(value.toInt64(), out); return;
    }
}

void ValueFormatter::appendBoolean(bool value, std::string& out)
{
    out += value ? "True" : "False";
}

void ValueFormatter::appendInteger(int64_t value, std::string& out)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void ValueFormatter::appendReal(double value, int significantDigits, std::string& out) const
{
    if (value == 0) {
        out += '0';
        return;
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, significantDigits);
    for (const char* c = buffer; c != result.ptr; ++c) {
        if (*c == '.')
            out += decimalSeparator_;
        else
            out += *c == 'e' ? 'E' : *c;
    }
}

void ValueFormatter::appendCurrency(int64_t tenThousandths, std::string& out) const
{
    const bool negative = tenThousandths < 0;
    const auto magnitude = negative ? static_cast<UInt128>(-static_cast<Int128>(tenThousandths))
                                    : static_cast<UInt128>(tenThousandths);
    appendScaled(negative, magnitude, 4, out);
}

void ValueFormatter::appendDecimal(const DecimalValue& value, std::string& out) const
{
    appendScaled(value.negative, value.mantissa, value.scale, out);
}

// The magnitude divided by 10^scale, without trailing zeros after the separator
// and without a sign on zero.
void ValueFormatter::appendScaled(bool negative, UInt128 magnitude, int scale, std::string& out) const
{
    char digits[48];  // a 128-bit magnitude has at most 39
    // 64-bit division is several times faster, and every Currency value fits.
    char* first = magnitude <= std::numeric_limits<uint64_t>::max()
                      ? digitsBefore(digits + sizeof digits, static_cast<uint64_t>(magnitude))
                      : digitsBefore(digits + sizeof digits, magnitude);
    const int count = static_cast<int>(digits + sizeof digits - first);
    const int wholeCount = count - scale;
    const char* fraction = wholeCount > 0 ? first + wholeCount : first;
    const char* fractionEnd = digits + sizeof digits;
    while (fractionEnd > fraction && fractionEnd[-1] == '0')
        --fractionEnd;
    const bool wholeIsZero = wholeCount <= 0 || (wholeCount == 1 && *first == '0');
    const bool hasFraction = fractionEnd > fraction;
    if (negative && !(wholeIsZero && !hasFraction))
        out += '-';
    if (wholeCount > 0)
        out.append(first, static_cast<size_t>(wholeCount));
    else
        out += '0';
    if (!hasFraction)
        return;
    out += decimalSeparator_;
    if (wholeCount < 0)
        out.append(static_cast<size_t>(-wholeCount), '0');
    out.append(fraction, fractionEnd);
}

// The whole days count from 1899-12-30, backwards when negative; the fraction
// is the time of day either way (-1.25 is 1899-12-29 06:00). Day 0 shows only
// its time, a time of midnight only its date.
void ValueFormatter::appendDate(double days, std::string& out) const
{
    const std::optional<JetDateTime> split = jetDateTime(days);
    if (!split)
        return;
    if (split->dayNumber != 0) {
        dateTime_.appendDate(split->dayNumber, out);
        if (split->seconds == 0)
            return;
        out += ' ';
    }
    dateTime_.appendTime(split->seconds, out);
}

void ValueFormatter::appendExtendedDate(int64_t ticks, std::string& out) const
{
    out += extendedDateText(ticks, locale_).toStdString();
}

void ValueFormatter::appendGuid(const GuidBytes& b, std::string& out)
{
    out += '{';
    appendHex(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<unsigned>(b[3]) << 24), 8, out);
    out += '-';
    appendHex(b[4] | (b[5] << 8), 4, out);
    out += '-';
    appendHex(b[6] | (b[7] << 8), 4, out);
    out += '-';
    for (size_t i = 8; i < 16; ++i) {
        if (i == 10)
            out += '-';
        appendHex(b[i], 2, out);
    }
    out += '}';
}

void ValueFormatter::appendBinary(const char* bytes, size_t length, std::string& out)
{
    for (size_t i = 0; i < length; ++i)
        appendHex(static_cast<uint8_t>(bytes[i]), 2, out);
}

QString valueText(const Variant& value)
{
    std::string text;
    ValueFormatter::forDefaultLocale()->appendValue(value, text);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace varnex
