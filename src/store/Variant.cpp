#include "store/Variant.h"

#include <cstring>
#include <utility>

namespace varnex {

Variant Variant::whole(Kind kind, int64_t value)
{
    Variant v;
    v.kind_ = kind;
    v.integer_ = value;
    return v;
}

Variant Variant::real(Kind kind, double value)
{
    Variant v;
    v.kind_ = kind;
    v.real_ = value;
    return v;
}

Variant Variant::bytes(Kind kind, QByteArray value)
{
    Variant v;
    v.kind_ = kind;
    v.bytes_ = std::move(value);
    return v;
}

Variant Variant::boolean(bool value) { return whole(Kind::Boolean, value ? -1 : 0); }
Variant Variant::byte(uint8_t value) { return whole(Kind::Byte, value); }
Variant Variant::integer(int16_t value) { return whole(Kind::Integer, value); }
Variant Variant::longInteger(int32_t value) { return whole(Kind::Long, value); }
Variant Variant::bigInt(int64_t value) { return whole(Kind::BigInt, value); }
Variant Variant::currency(int64_t tenThousandths) { return whole(Kind::Currency, tenThousandths); }
Variant Variant::single(float value) { return real(Kind::Single, value); }
Variant Variant::doubleValue(double value) { return real(Kind::Double, value); }
Variant Variant::date(double days) { return real(Kind::Date, days); }
Variant Variant::extendedDate(int64_t ticks) { return whole(Kind::ExtendedDate, ticks); }
Variant Variant::binary(const QByteArray& value) { return bytes(Kind::Binary, value); }

Variant Variant::guid(const GuidBytes& value)
{
    return bytes(Kind::Guid, QByteArray(reinterpret_cast<const char*>(value.data()), static_cast<qsizetype>(value.size())));
}

Variant Variant::decimal(const DecimalValue& value)
{
    Variant v;
    v.kind_ = Kind::Decimal;
    v.decimal_ = value;
    return v;
}

Variant Variant::text(const QString& value)
{
    Variant v;
    v.kind_ = Kind::Text;
    v.text_ = value;
    return v;
}

GuidBytes Variant::toGuid() const
{
    GuidBytes result{};
    if (bytes_.size() == static_cast<qsizetype>(result.size()))
        std::memcpy(result.data(), bytes_.constData(), result.size());
    return result;
}

}  // namespace varnex
