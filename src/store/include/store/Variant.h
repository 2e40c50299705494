#pragma once
// A single field value, held exactly as stored: integers, Single and Double
// bit for bit, Currency as a count of ten-thousandths, Decimal as sign, 96-bit
// mantissa and scale, dates as Jet's day count, extended dates as 100 ns ticks
// since 0001-01-01, text as Unicode, binary as bytes.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace varnex {

// 128-bit integers are a compiler extension of gcc and clang.
__extension__ typedef unsigned __int128 UInt128;
__extension__ typedef __int128 Int128;

struct DecimalValue {
    bool negative = false;
    UInt128 mantissa = 0;
    uint8_t scale = 0;   // digits after the decimal point

    friend bool operator==(const DecimalValue&, const DecimalValue&) = default;
};

using GuidBytes = std::array<uint8_t, 16>;  // as stored: the first three groups little-endian

class Variant {
public:
    enum class Kind { Null, Boolean, Byte, Integer, Long, BigInt, Single, Double, Currency, Decimal, Date, Text, Binary, Guid,
                      ExtendedDate };

    Variant() = default;  // Null
    static Variant boolean(bool value);
    static Variant byte(uint8_t value);
    static Variant integer(int16_t value);
    static Variant longInteger(int32_t value);
    static Variant bigInt(int64_t value);
    static Variant single(float value);
    static Variant doubleValue(double value);
    static Variant currency(int64_t tenThousandths);
    static Variant decimal(const DecimalValue& value);
    static Variant date(double days);
    static Variant extendedDate(int64_t ticks);
    static Variant text(const QString& value);
    static Variant binary(const QByteArray& value);
    static Variant guid(const GuidBytes& value);

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }

    bool toBool() const { return integer_ != 0; }
    // Boolean (-1/0), Byte, Integer, Long, BigInt, Currency (scaled), ExtendedDate (ticks)
    int64_t toInt64() const { return integer_; }
    float toFloat() const { return static_cast<float>(real_); }
    double toDouble() const { return real_; }           // Single, Double, Date
    const DecimalValue& toDecimal() const { return decimal_; }
    const QString& toText() const { return text_; }
    const QByteArray& toBytes() const { return bytes_; }
    GuidBytes toGuid() const;

    friend bool operator==(const Variant&, const Variant&) = default;

private:
    static Variant whole(Kind kind, int64_t value);
    static Variant real(Kind kind, double value);
    static Variant bytes(Kind kind, QByteArray value);

    Kind kind_ = Kind::Null;
    int64_t integer_ = 0;
    double real_ = 0;
    DecimalValue decimal_;
    QString text_;
    QByteArray bytes_;
};

}  // namespace varnex
