#pragma once
// Sheets of paper: the ones a user can name on the command line, the one
// that is usual where the user lives (used when no printer is installed),
// and a sheet's device values at a resolution.

#include <QLocale>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/printers.h"

namespace tessaria {

// A4, Letter, Legal, A3, A5, 10x15cm and 4x6in, matched without regard to case.
std::optional<QPageSize> PaperByName(const QString& name);
// Their names as a user types them, in that order.
QStringList PaperNames();

// Letter where it is the usual paper (the US measurement system, or a
// territory that uses Letter), A4 everywhere else.
QPageSize PaperForLocale(const QLocale& locale);

// The whole sheet in device pixels at `pixelsPerInch`, turned for landscape;
// no unprintable strips.
TDeviceValues SheetDeviceValues(const QPageSize& paper, int pixelsPerInch, TPrinterOrientation orientation);

} // namespace tessaria
