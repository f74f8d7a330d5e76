#pragma once
// Dates and times as the system writes them: the locale's short date and long
// time, the time left out when it is exactly midnight.

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace tessaria {

QString DateTimeToStr(const QDateTime& value, const QLocale& locale = QLocale::system());
// The format DateTimeToStr writes when the time is not midnight.
QString DateTimeFormat(const QLocale& locale);

// Date-time values (days since 30 December 1899, local wall-clock time).
double DateTimeValue(const QDateTime& value);
QDateTime DateTimeFromValue(double value);

} // namespace tessaria
