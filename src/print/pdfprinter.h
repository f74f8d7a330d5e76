#pragma once
// A PDF file as a printer: the engine's sheet at the engine's resolution,
// printable edge to edge, so a recorded page lands on it as on paper.

#include <QPageSize>
#include <QString>
#include <memory>

#include "platform/printers.h"

class QPrinter;

namespace tessaria {

class TPreviewPrinter;

std::unique_ptr<QPrinter> PdfPrinterFor(const TPreviewPrinter& engine, const QString& fileName);

// Gives a file printer the sheet (upright), turned as the orientation says,
// at the resolution, with no margins.
void UseSheet(QPrinter& printer, const QPageSize& sheet, TPrinterOrientation orientation, int pixelsPerInch);

// The paper that device values describe, upright; a size close to a standard
// one is taken as that one.
QPageSize SheetOfDeviceValues(const TDeviceValues& v, TPrinterOrientation orientation);

} // namespace tessaria
