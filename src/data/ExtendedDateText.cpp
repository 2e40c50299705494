#include "data/ExtendedDateText.h"

#include "store/ExtendedDate.h"
#include "data/DateTimeFormat.h"

#include <QDate>
#include <QLocale>
#include <QTime>

namespace varnex {
namespace {

// Seven digits of a fraction of a second, without its trailing zeros.
QString fractionDigits(int64_t ticks)
{
    QString digits = QString::number(ticks).rightJustified(7, u'0');
    while (digits.endsWith(u'0'))
        digits.chop(1);
    return digits;
}

// The time format with a quoted literal put after its seconds, or at its end where it has none.
QString withAfterSeconds(const QString& format, const QString& literal)
{
    const QString quoted = u'\'' + QString(literal).replace(u'\'', QStringLiteral("''")) + u'\'';
    qsizetype secondsEnd = -1;
    bool inQuotes = false;
    for (qsizetype at = 0; at < format.size(); ++at) {
        if (format[at] == u'\'')
            inQuotes = !inQuotes;
        else if (!inQuotes && format[at] == u's')
            secondsEnd = at + 1;
    }
    QString result = format;
    result.insert(secondsEnd < 0 ? format.size() : secondsEnd, quoted);
    return result;
}

}  // namespace

QString extendedDateText(int64_t ticks, const QLocale& locale)
{
    if (ticks < 0 || ticks / kTicksPerDay > kLastExtendedDay)
        return {};
    const QDate date = QDate(1, 1, 1).addDays(ticks / kTicksPerDay);
    const QString dateText = locale.toString(date, shortDateFormat(locale));
    const int64_t timeOfDay = ticks % kTicksPerDay;
    if (timeOfDay == 0)
        return dateText;
    const int64_t fraction = timeOfDay % kTicksPerSecond;
    QString timeFormat = longTimeFormat(locale);
    if (fraction != 0)
        timeFormat = withAfterSeconds(timeFormat, locale.decimalPoint() + fractionDigits(fraction));
    const QTime time = QTime(0, 0).addSecs(static_cast<int>(timeOfDay / kTicksPerSecond));
    return dateText + u' ' + locale.toString(time, timeFormat);
}

}  // namespace varnex
