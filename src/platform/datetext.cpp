#include "platform/datetext.h"

#include <QLocale>
#include <cmath>

namespace tessaria {

QString DateTimeToStr(const QDateTime& value)
{
    const QLocale locale = QLocale::system();
    const QString date = locale.toString(value.date(), QLocale::ShortFormat);
    if (value.time() == QTime(0, 0))
        return date;
    return date + ' ' + locale.toString(value.time(), QLocale::LongFormat);
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
