#pragma once
// The texts of the file list's columns, and the modified text read back.

#include <QDateTime>
#include <QLocale>
#include <QString>

#include "base/datetime.h"

namespace tessaria {

enum TFileColumn { fcName = 0, fcSize = 1, fcType = 2, fcModified = 3 };
constexpr int FileColumnCount = 4;

// Kilobytes, counting a started one: (bytes div 1024) + 1.
QString FileSizeText(qint64 bytes);
// The extension without its dot, at most three characters, upper case; empty
// when the name has none.
QString FileTypeText(const QString& fileName);

// The locale's short date, its year always with four digits (so that the
// text sorts and reads back right in any century), and long time; the time
// is left out at exactly midnight. Parts of a second are dropped.
QString FileModifiedText(const QDateTime& localTime, const QLocale& locale = QLocale());
// The text of FileModifiedText back as a date-time value. Raises
// EConvertError "'%s' is not a valid date and time" when the locale's formats
// cannot read it.
TDateTime FileModifiedValue(const QString& text, const QLocale& locale = QLocale());

// A date format with "yy" widened to "yyyy".
QString FourDigitYears(const QString& format);

// Delphi-style upper case: only the letters a to z change.
QString AsciiUpperCase(const QString& text);

} // namespace tessaria
