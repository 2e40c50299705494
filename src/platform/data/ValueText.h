#pragma once
// The pieces of the standard value-to-text conversion, by stored form, so that
// the grid and the export can format a stored value without building a Variant.

#include "platform/data/Variant.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <string>

namespace varnex {

QString IntegerText(int64_t value);
QString RealText(double value, int significantDigits);  // 15 for Double, 7 for Single
QString CurrencyText(int64_t tenThousandths);
QString DecimalText(const DecimalValue& value);
QString DateText(double days);
QString BooleanText(bool value);
QString GuidText(const GuidBytes& bytes);
QString BinaryText(const char* bytes, size_t length);

// The locale's decimal separator, as used by the texts above.
QString DecimalSeparator();

// The formats DateText writes dates and times in: the locale's short date with
// the year in full, and its long time without the time zone.
QString ShortDateFormat(const QLocale& locale);
QString LongTimeFormat(const QLocale& locale);

}  // namespace varnex
