#include "data/ValueFormatter.h"

#include "DecimalDigits.h"
#include "data/ExtendedDateText.h"
#include "store/FieldTypes.h"
#include "data/IsoDateTime.h"

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <mutex>

namespace varnex {
namespace {

// Writes the decimal digits of value just before `end`; returns where they start.
char* digitsBefore(char* end, UInt128 value)
{
    do {
        *--end = static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    } while (value != 0);
    return end;
}

// A real number as significant digits (no leading zero) and the power of ten of the first.
struct RealDigits {
    char digits[24];
    int count = 0;
    int exponent = 0;  // of the first digit: 1.5 has 0, 0.015 has -2
};

constexpr uint64_t kPowersOfFive[] = {1,          5,           25,           125,           625,
                                      3125,       15625,       78125,        390625,        1953125,
                                      9765625,    48828125,    244140625,    1220703125,    6103515625,
                                      30517578125, 152587890625, 762939453125, 3814697265625, 19073486328125,
                                      95367431640625, 476837158203125};

// The exact decimal expansion of a nonzero finite value, where it has at most `most` (at most 15)
// significant digits: every double is an integer times a power of two, and m / 2^q = m * 5^q / 10^q.
bool exactDigits(double value, int most, RealDigits& out)
{
    const auto bits = std::bit_cast<uint64_t>(value);
    const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
    uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
    int power = biased == 0 ? -1074 : biased - 1075;
    if (biased != 0)
        mantissa |= uint64_t{1} << 52;
    const int zeros = std::countr_zero(mantissa);
    mantissa >>= zeros;
    power += zeros;
    constexpr uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000,
                                         10000000000, 100000000000, 1000000000000, 10000000000000,
                                         100000000000000, 1000000000000000};
    const uint64_t limit = kPowersOfTen[most];
    uint64_t whole = 0;
    int fractionDigits = 0;
    if (power >= 0) {
        if (power + std::bit_width(mantissa) > 50)
            return false;
        whole = mantissa << power;
    } else {
        fractionDigits = -power;
        if (fractionDigits >= static_cast<int>(std::size(kPowersOfFive)) || mantissa > (limit - 1) / kPowersOfFive[fractionDigits])
            return false;
        whole = mantissa * kPowersOfFive[fractionDigits];
    }
    if (whole >= limit)
        return false;
    char* end = out.digits + sizeof out.digits;
    const char* first = digits::before(end, whole);
    out.count = static_cast<int>(end - first);
    std::memmove(out.digits, first, static_cast<size_t>(out.count));
    out.exponent = out.count - 1 - fractionDigits;
    return true;
}

// The shortest digits that read back as a normal double, where they are at most 15: the
// value then lies within half a unit of the 53rd bit of them, far nearer than half a unit of
// the 15th digit, so that rounding it to 15 digits gives them too.
bool shortestDigits(double value, RealDigits& out)
{
    const double magnitude = std::fabs(value);
    if (!(magnitude >= DBL_MIN && magnitude <= DBL_MAX))
        return false;
    char text[40];
    const auto written = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific);
    const char* at = text;
    out.count = 0;
    while (at != written.ptr && *at != 'e') {
        if (*at != '.')
            out.digits[out.count++] = *at;
        ++at;
    }
    if (at == written.ptr || out.count > 15)
        return false;
    int exponent = 0;
    std::from_chars(at + (at[1] == '+' ? 2 : 1), written.ptr, exponent);
    out.exponent = exponent;
    return true;
}

// Laid out as printf's %.<precision>g does, with the locale's decimal separator and an upper-case E.
char* writeRealDigits(bool negative, RealDigits& real, int precision, const std::string& decimalSeparator, char* at)
{
    while (real.count > 1 && real.digits[real.count - 1] == '0')
        --real.count;  // those of a whole number come back from its exponent
    const int count = real.count;
    const int exponent = real.exponent;
    const auto put = [&at](const char* from, int n) {
        std::memcpy(at, from, static_cast<size_t>(n));
        at += n;
    };
    const auto separator = [&] { put(decimalSeparator.data(), static_cast<int>(decimalSeparator.size())); };
    if (negative)
        *at++ = '-';
    if (exponent < -4 || exponent >= precision) {
        *at++ = real.digits[0];
        if (count > 1) {
            separator();
            put(real.digits + 1, count - 1);
        }
        *at++ = 'E';
        *at++ = exponent < 0 ? '-' : '+';
        const auto power = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
        if (power >= 100)
            *at++ = static_cast<char>('0' + power / 100);
        at = digits::small(at, power % 100, true);
    } else if (exponent >= 0) {
        const int whole = exponent + 1;
        put(real.digits, std::min(count, whole));
        for (int i = count; i < whole; ++i)
            *at++ = '0';
        if (count > whole) {
            separator();
            put(real.digits + whole, count - whole);
        }
    } else {
        *at++ = '0';
        separator();
        for (int i = -1; i > exponent; --i)
            *at++ = '0';
        put(real.digits, count);
    }
    return at;
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

char* ValueFormatter::writeInteger(int64_t value, char* at)
{
    if (value < 0)
        *at++ = '-';
    return digits::forward(at, value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value));
}

void ValueFormatter::appendInteger(int64_t value, std::string& out)
{
    char buffer[48];
    out.append(buffer, writeInteger(value, buffer));
}

char* ValueFormatter::writeReal(double value, int significantDigits, char* at) const
{
    if (value == 0) {
        *at++ = '0';
        return at;
    }
    // Most stored numbers are short decimals or short binary fractions: their digits are had
    // without rounding; the rest are rounded to the significant digits.
    RealDigits real;
    if (std::isfinite(value) && significantDigits <= 15 &&
        (exactDigits(value, significantDigits, real) || (significantDigits == 15 && shortestDigits(value, real))))
        return writeRealDigits(value < 0, real, significantDigits, decimalSeparator_, at);
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, significantDigits);
    for (const char* c = buffer; c != result.ptr; ++c) {
        if (*c == '.') {
            std::memcpy(at, decimalSeparator_.data(), decimalSeparator_.size());
            at += decimalSeparator_.size();
        } else {
            *at++ = *c == 'e' ? 'E' : *c;
        }
    }
    return at;
}

void ValueFormatter::appendReal(double value, int significantDigits, std::string& out) const
{
    digits::Tail tail(out, mostNumberBytes());
    tail.end(writeReal(value, significantDigits, tail.at()));
}

char* ValueFormatter::writeCurrency(int64_t tenThousandths, char* at) const
{
    const bool negative = tenThousandths < 0;
    const auto magnitude = negative ? static_cast<UInt128>(-static_cast<Int128>(tenThousandths))
                                    : static_cast<UInt128>(tenThousandths);
    return writeScaled(negative, magnitude, 4, at);
}

void ValueFormatter::appendCurrency(int64_t tenThousandths, std::string& out) const
{
    digits::Tail tail(out, mostNumberBytes());
    tail.end(writeCurrency(tenThousandths, tail.at()));
}

void ValueFormatter::appendDecimal(const DecimalValue& value, std::string& out) const
{
    digits::Tail tail(out, mostNumberBytes() + value.scale);
    tail.end(writeScaled(value.negative, value.mantissa, value.scale, tail.at()));
}

// The magnitude divided by 10^scale, without trailing zeros after the separator and without
// a sign on zero; at has room for mostNumberBytes() and scale more.
char* ValueFormatter::writeScaled(bool negative, UInt128 magnitude, int scale, char* at) const
{
    char digits[48];  // a 128-bit magnitude has at most 39
    // 64-bit division is several times faster, and every Currency value fits.
    char* first = magnitude <= std::numeric_limits<uint64_t>::max()
                      ? digits::before(digits + sizeof digits, static_cast<uint64_t>(magnitude))
                      : digitsBefore(digits + sizeof digits, magnitude);
    const int count = static_cast<int>(digits + sizeof digits - first);
    const int wholeCount = count - scale;
    const char* fraction = wholeCount > 0 ? first + wholeCount : first;
    const char* fractionEnd = digits + sizeof digits;
    while (fractionEnd > fraction && fractionEnd[-1] == '0')
        --fractionEnd;
    const bool wholeIsZero = wholeCount <= 0 || (wholeCount == 1 && *first == '0');
    const bool hasFraction = fractionEnd > fraction;
    const auto put = [&at](const char* from, size_t n) {
        std::memcpy(at, from, n);
        at += n;
    };
    if (negative && !(wholeIsZero && !hasFraction))
        *at++ = '-';
    if (wholeCount > 0)
        put(first, static_cast<size_t>(wholeCount));
    else
        *at++ = '0';
    if (!hasFraction)
        return at;
    put(decimalSeparator_.data(), decimalSeparator_.size());
    for (int i = wholeCount; i < 0; ++i)
        *at++ = '0';
    put(fraction, static_cast<size_t>(fractionEnd - fraction));
    return at;
}

size_t ValueFormatter::mostDateBytes() const
{
    return dateTime_.mostBytes();
}

// A Jet date: the whole days count from 1899-12-30, backwards when negative; the fraction is
// the time of day either way (-1.25 is 1899-12-29 06:00). Day 0 shows only its time, a time of
// midnight only its date.
char* ValueFormatter::writeDate(double days, char* at) const
{
    const std::optional<JetDateTime> split = jetDateTime(days);
    if (!split)
        return at;
    if (split->dayNumber != 0) {
        at = dateTime_.writeDate(split->dayNumber, at);
        if (!at || split->seconds == 0)
            return at;
        *at++ = ' ';
    }
    return dateTime_.writeTime(split->seconds, at);
}

void ValueFormatter::appendDate(double days, std::string& out) const
{
    if (mostDateBytes() > 0) {
        digits::Tail tail(out, mostDateBytes());
        const char* end = writeDate(days, tail.at());
        tail.end(end);
        if (end)
            return;
    }
    // Where Qt writes the date.
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

bool ValueFormatter::mayWriteAnyOf(FieldType type, std::string_view chars) const
{
    switch (type) {
    case FieldType::Single:
    case FieldType::Double:
    case FieldType::Currency:
    case FieldType::Numeric: return decimalSeparator_.find_first_of(chars) != std::string::npos;
    case FieldType::Date: return dateTime_.mayWriteAnyOf(chars);
    default: return true;
    }
}

QString valueText(const Variant& value)
{
    std::string text;
    ValueFormatter::forDefaultLocale()->appendValue(value, text);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace varnex
