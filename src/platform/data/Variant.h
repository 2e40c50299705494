#pragma once
// A single field value, held exactly as stored. DRAFT: the data-access work completes it.

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace varnex {

class Variant {
public:
    enum class Kind { Null, Boolean, Byte, Integer, Long, BigInt, Single, Double, Currency, Decimal, Date, Text, Binary, Guid };

    Kind kind() const;
    bool isNull() const;
};

// The standard conversion of a value to text under the user's locale; Null gives "".
QString ValueText(const Variant& value);

}  // namespace varnex
