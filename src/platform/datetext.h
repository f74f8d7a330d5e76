#pragma once
// Dates and times as the system writes them: the locale's short date and long
// time, the time left out when it is exactly midnight.

#include <QDateTime>
#include <QString>

namespace tessaria {

QString DateTimeToStr(const QDateTime& value);

// Date-time values (days since 30 December 1899, local wall-clock time).
double DateTimeValue(const QDateTime& value);
QDateTime DateTimeFromValue(double value);

} // namespace tessaria
