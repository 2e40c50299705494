#include "platform/data/Variant.h"

#include <cstring>

namespace varnex {

Variant Variant::boolean(bool value)
{
    Variant v;
    v.kind_ = Kind::Boolean;
    v.integer_ = value ? -1 : 0;
    return v;
}

Variant Variant::byte(uint8_t value)
{
    Variant v;
    v.kind_ = Kind::Byte;
    v.integer_ = value;
    return v;
}

Variant Variant::integer(int16_t value)
{
    Variant v;
    v.kind_ = Kind::Integer;
    v.integer_ = value;
    return v;
}

Variant Variant::longInteger(int32_t value)
{
    Variant v;
    v.kind_ = Kind::Long;
    v.integer_ = value;
    return v;
}

Variant Variant::bigInt(int64_t value)
{
    Variant v;
    v.kind_ = Kind::BigInt;
    v.integer_ = value;
    return v;
}

Variant Variant::single(float value)
{
    Variant v;
    v.kind_ = Kind::Single;
    v.real_ = value;
    return v;
}

Variant Variant::doubleValue(double value)
{
    Variant v;
    v.kind_ = Kind::Double;
    v.real_ = value;
    return v;
}

Variant Variant::currency(int64_t tenThousandths)
{
    Variant v;
    v.kind_ = Kind::Currency;
    v.integer_ = tenThousandths;
    return v;
}

Variant Variant::decimal(const DecimalValue& value)
{
    Variant v;
    v.kind_ = Kind::Decimal;
    v.decimal_ = value;
    return v;
}

Variant Variant::date(double days)
{
    Variant v;
    v.kind_ = Kind::Date;
    v.real_ = days;
    return v;
}

Variant Variant::text(const QString& value)
{
    Variant v;
    v.kind_ = Kind::Text;
    v.text_ = value;
    return v;
}

Variant Variant::binary(const QByteArray& value)
{
    Variant v;
    v.kind_ = Kind::Binary;
    v.bytes_ = value;
    return v;
}

Variant Variant::guid(const GuidBytes& value)
{
    Variant v;
    v.kind_ = Kind::Guid;
    v.bytes_ = QByteArray(reinterpret_cast<const char*>(value.data()), static_cast<qsizetype>(value.size()));
    return v;
}

GuidBytes Variant::toGuid() const
{
    GuidBytes bytes{};
    if (bytes_.size() == static_cast<qsizetype>(bytes.size()))
        std::memcpy(bytes.data(), bytes_.constData(), bytes.size());
    return bytes;
}

}  // namespace varnex
