#pragma once
// The pieces of the standard value-to-text conversion, by stored form, so that
// the grid and the export can format a stored value without building a Variant.

#include "data/Variant.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <string>

namespace varnex {

QString integerText(int64_t value);
QString realText(double value, int significantDigits);  // 15 for Double, 7 for Single
QString currencyText(int64_t tenThousandths);
QString decimalText(const DecimalValue& value);
QString dateText(double days);
QString booleanText(bool value);
QString guidText(const GuidBytes& bytes);
QString binaryText(const char* bytes, size_t length);

// The locale's decimal separator, as used by the texts above.
QString decimalSeparator();

// The formats dateText writes dates and times in: the locale's short date with
// the year in full, and its long time without the time zone.
QString shortDateFormat(const QLocale& locale);
QString longTimeFormat(const QLocale& locale);

}  // namespace varnex
