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

} // namespace

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
    return DateTimeToStr(localTime, locale);
}

TDateTime FileModifiedValue(const QString& text, const QLocale& locale)
{
    const QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    QDate date;
    QTime time;
    QString format = DateTimeFormat(locale);
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
