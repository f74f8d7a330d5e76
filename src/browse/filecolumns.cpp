#include "browse/filecolumns.h"

#include <QTimeZone>

#include "base/exceptions.h"
#include "platform/datetext.h"

namespace tessaria {

namespace {

// Formats with "yy" read back into the 1900s; a file date belongs near today.
int WithCentury(int year, const QString& dateFormat)
{
    if (dateFormat.contains(QLatin1String("yyyy")) || !dateFormat.contains(QLatin1String("yy")))
        return year;
    const int latest = QDate::currentDate().year() + 20;
    while (year + 100 <= latest)
        year += 100;
    return year;
}

// The zone name at the end of a long time ("CEST") is not always one Qt can
// read back; the wall-clock time before it is all the value needs.
bool DropTrailingZone(QString& text, QString& format)
{
    const QString zone = QStringLiteral(" t");
    if (!format.endsWith(zone))
        return false;
    const qsizetype space = text.lastIndexOf(' ');
    if (space < 0)
        return false;
    format.chop(zone.size());
    text.truncate(space);
    return true;
}

QString DateFormat(const QLocale& locale) { return FourDigitYears(locale.dateFormat(QLocale::ShortFormat)); }

QString DateAndTimeFormat(const QLocale& locale)
{
    return DateFormat(locale) + ' ' + locale.timeFormat(QLocale::LongFormat);
}

} // namespace

QString FourDigitYears(const QString& format)
{
    if (format.contains(QLatin1String("yyyy")) || !format.contains(QLatin1String("yy")))
        return format;
    QString wide = format;
    wide.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return wide;
}

QString FileSizeText(qint64 bytes) { return QString::number(bytes / 1024 + 1); }

QString FileTypeText(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf('.');
    if (dot < 0)
        return QString();
    return AsciiUpperCase(fileName.mid(dot + 1, 3));
}

QString FileModifiedText(const QDateTime& localTime, const QLocale& locale)
{
    // Whole seconds, as file dates are shown; years always with their century.
    const QTime time = localTime.time();
    const QDateTime seconds(localTime.date(), QTime(time.hour(), time.minute(), time.second()),
                            localTime.timeZone());
    if (seconds.time() == QTime(0, 0))
        return locale.toString(seconds.date(), DateFormat(locale));
    return locale.toString(seconds, DateAndTimeFormat(locale));
}

TDateTime FileModifiedValue(const QString& text, const QLocale& locale)
{
    const QString dateFormat = DateFormat(locale);
    QDate date;
    QTime time;
    QString format = DateAndTimeFormat(locale);
    QDateTime both = locale.toDateTime(text, format);
    if (!both.isValid()) {
        QString shorter = text;
        if (DropTrailingZone(shorter, format))
            both = locale.toDateTime(shorter, format);
    }
    if (both.isValid()) {
        date = both.date();
        time = both.time();
    } else {
        date = locale.toDate(text, dateFormat);
        time = QTime(0, 0);
    }
    if (!date.isValid())
        throw EConvertError("'" + text.toStdString() + "' is not a valid date and time");
    return EncodeDateTime(WithCentury(date.year(), dateFormat), date.month(), date.day(), time.hour(), time.minute(),
                          time.second());
}

QString AsciiUpperCase(const QString& text)
{
    QString upper = text;
    for (QChar& c : upper)
        if (c >= 'a' && c <= 'z')
            c = QChar(c.unicode() - 'a' + 'A');
    return upper;
}

} // namespace tessaria
