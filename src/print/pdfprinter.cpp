#include "print/pdfprinter.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include "print/prevprinter.h"

namespace tessaria {

std::unique_ptr<QPrinter> PdfPrinterFor(const TPreviewPrinter& engine, const QString& fileName)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(fileName);
    printer->setResolution(engine.PixelsPerInchX());
    const bool landscape = engine.Orientation() == TPrinterOrientation::poLandscape;
    // The device values are those of the oriented sheet; the page size wants it upright.
    const double wide = double(engine.PhysicalWidth()) / engine.PixelsPerInchX();
    const double high = double(engine.PhysicalHeight()) / engine.PixelsPerInchY();
    const QSizeF upright = landscape ? QSizeF(high, wide) : QSizeF(wide, high);
    const QPageSize sheet(upright, QPageSize::Inch, QStringLiteral("Sheet"), QPageSize::FuzzyMatch);
    QPageLayout layout(sheet, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Point);
    layout.setMode(QPageLayout::FullPageMode);
    printer->setPageLayout(layout);
    printer->setFullPage(true);
    return printer;
}

} // namespace tessaria
