#include "platform/datetext.h"

#include <QLocale>
#include <QTimeZone>
#include <cmath>

namespace tessaria {

QString DateTimeFormat(const QLocale& locale)
{
    return locale.dateFormat(QLocale::ShortFormat) + ' ' + locale.timeFormat(QLocale::LongFormat);
}

QString DateTimeToStr(const QDateTime& value, const QLocale& locale)
{
    // Whole seconds, as file dates are shown.
    const QTime time = value.time();
    const QDateTime seconds(value.date(), QTime(time.hour(), time.minute(), time.second()), value.timeZone());
    if (seconds.time() == QTime(0, 0))
        return locale.toString(seconds.date(), QLocale::ShortFormat);
    return locale.toString(seconds, DateTimeFormat(locale));
}

double DateTimeValue(const QDateTime& value)
{
    const QDateTime local = value.toLocalTime();
    const qint64 wallClockMs = local.toMSecsSinceEpoch() + qint64(local.offsetFromUtc()) * 1000;
    return 25569.0 + double(wallClockMs) / 86400000.0;
}

QDateTime DateTimeFromValue(double value)
{
    const qint64 wallClockMs = qint64(std::llround((value - 25569.0) * 86400000.0));
    QDateTime utc = QDateTime::fromMSecsSinceEpoch(wallClockMs, Qt::UTC);
    return QDateTime(utc.date(), utc.time(), Qt::LocalTime);
}

} // namespace tessaria
