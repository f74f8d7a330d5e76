#pragma once
// A PDF file as a printer: the engine's sheet at the engine's resolution,
// printable edge to edge, so a recorded page lands on it as on paper.

#include <QString>
#include <memory>

class QPrinter;

namespace tessaria {

class TPreviewPrinter;

std::unique_ptr<QPrinter> PdfPrinterFor(const TPreviewPrinter& engine, const QString& fileName);

} // namespace tessaria
