#include "print/pdfprinter.h"

#include <QPageLayout>
#include <QPrinter>

#include "print/prevprinter.h"

namespace tessaria {

std::unique_ptr<QPrinter> PdfPrinterFor(const TPreviewPrinter& engine, const QString& fileName)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(fileName);
    UseSheet(*printer, engine.Sheet(), engine.Orientation(), engine.PixelsPerInchX());
    return printer;
}

void UseSheet(QPrinter& printer, const QPageSize& sheet, TPrinterOrientation orientation, int pixelsPerInch)
{
    if (pixelsPerInch > 0)
        printer.setResolution(pixelsPerInch);
    const bool landscape = orientation == TPrinterOrientation::poLandscape;
    QPageLayout layout(sheet.isValid() ? sheet : QPageSize(QPageSize::A4),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Point);
    layout.setMode(QPageLayout::FullPageMode);
    printer.setPageLayout(layout);
    printer.setFullPage(true);
}

QPageSize SheetOfDeviceValues(const TDeviceValues& v, TPrinterOrientation orientation)
{
    if (v.PixelsPerInchX <= 0 || v.PixelsPerInchY <= 0 || v.PhysicalWidth <= 0 || v.PhysicalHeight <= 0)
        return QPageSize();
    // The device values are those of the oriented sheet; the page size wants it upright.
    const double wide = double(v.PhysicalWidth) / v.PixelsPerInchX;
    const double high = double(v.PhysicalHeight) / v.PixelsPerInchY;
    const bool landscape = orientation == TPrinterOrientation::poLandscape;
    return QPageSize(landscape ? QSizeF(high, wide) : QSizeF(wide, high), QPageSize::Inch, QStringLiteral("Sheet"),
                     QPageSize::FuzzyMatch);
}

} // namespace tessaria
