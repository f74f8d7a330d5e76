#include "platform/printers.h"

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace tessaria {

namespace {

std::unique_ptr<TPrinters>& Current()
{
    static std::unique_ptr<TPrinters> printers = std::make_unique<TSystemPrinters>();
    return printers;
}

QPageLayout::Orientation QtOrientation(TPrinterOrientation orientation)
{
    return orientation == TPrinterOrientation::poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

// Margins as wide as the unprintable strip, and the painter's origin at the
// printable area's corner: the printer then behaves as one whose canvas
// starts where it can print, and the physical offsets say where that is.
void UsePrintableAreaAsMargins(QPrinter& printer)
{
    printer.setFullPage(false);
    const QPageLayout layout = printer.pageLayout();
    printer.setPageMargins(layout.minimumMargins(), layout.units());
}

TDeviceValues Swapped(const TDeviceValues& v)
{
    return {v.PixelsPerInchY, v.PixelsPerInchX, v.PhysicalHeight, v.PhysicalWidth, v.PhysicalOffsetY, v.PhysicalOffsetX};
}

} // namespace

TPrinters& Printers() { return *Current(); }

std::unique_ptr<TPrinters> SetPrinters(std::unique_ptr<TPrinters> printers)
{
    std::unique_ptr<TPrinters> previous = std::move(Current());
    Current() = printers ? std::move(printers) : std::make_unique<TSystemPrinters>();
    return previous;
}

TDeviceValues DeviceValuesOf(const QPrinter& printer)
{
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    TDeviceValues v;
    v.PixelsPerInchX = printer.resolution();
    v.PixelsPerInchY = printer.resolution();
    v.PhysicalWidth = qRound(paper.width());
    v.PhysicalHeight = qRound(paper.height());
    v.PhysicalOffsetX = qRound(page.left() - paper.left());
    v.PhysicalOffsetY = qRound(page.top() - paper.top());
    return v;
}

TDeviceValues PrepareJobPrinter(QPrinter& printer)
{
    // Copies and ranges are the engine's business: each copy is a job of its
    // own and only the chosen pages are sent, so the printer must not repeat
    // or filter them again.
    printer.setCopyCount(1);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    UsePrintableAreaAsMargins(printer);
    return DeviceValuesOf(printer);
}

// ---- The system's printers ----

TSystemPrinters::TSystemPrinters() = default;
TSystemPrinters::~TSystemPrinters() = default;

void TSystemPrinters::Attach()
{
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
        if (all.isEmpty())
            return;
        info = all.first();
    }
    Printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    // The queue's own default sheet, not Qt's locale guess.
    const QPageSize size = info.defaultPageSize();
    if (size.isValid())
        Printer_->setPageSize(size);
    UsePrintableAreaAsMargins(*Printer_);
    Attached_ = true;
}

QString TSystemPrinters::CurrentPrinterName()
{
    if (!Attached_)
        Attach();
    return Attached_ && Printer_->outputFormat() == QPrinter::NativeFormat ? Printer_->printerName() : QString();
}

QPrinter& TSystemPrinters::Printer()
{
    if (!Attached_)
        Attach();
    if (!Printer_)
        Printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *Printer_;
}

TDeviceValues TSystemPrinters::DeviceValues(TPrinterOrientation orientation)
{
    QPrinter& printer = Printer();
    printer.setPageOrientation(QtOrientation(orientation));
    UsePrintableAreaAsMargins(printer);
    return DeviceValuesOf(printer);
}

TDeviceValues TSystemPrinters::BeginJob(QPrinter& printer) { return PrepareJobPrinter(printer); }

// ---- The stand-in ----

TStandInPrinters::TStandInPrinters(const QString& name, const TDeviceValues& portrait, const QString& jobFolder)
    : Name_(name), Portrait_(portrait), JobFolder_(jobFolder)
{
}

TStandInPrinters::~TStandInPrinters() = default;

QPrinter& TStandInPrinters::Printer()
{
    if (!Printer_) {
        Printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        Printer_->setOutputFormat(QPrinter::PdfFormat);
    }
    return *Printer_;
}

TDeviceValues TStandInPrinters::DeviceValues(TPrinterOrientation orientation)
{
    LastOrientation_ = orientation;
    return orientation == TPrinterOrientation::poLandscape ? Swapped(Portrait_) : Portrait_;
}

TDeviceValues TStandInPrinters::BeginJob(QPrinter& printer)
{
    // Without a printer its QPrinter only writes files, as the system's does.
    if (&printer != Printer_.get() || Name_.isEmpty())
        return PrepareJobPrinter(printer);

    const bool landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    const TPrinterOrientation orientation =
        landscape ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait;
    const TDeviceValues v = DeviceValues(orientation);
    const double ppi = Portrait_.PixelsPerInchX;

    printer.setCopyCount(1);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setResolution(Portrait_.PixelsPerInchX);
    const QPageSize sheet(QSizeF(Portrait_.PhysicalWidth / ppi, Portrait_.PhysicalHeight / ppi), QPageSize::Inch,
                          QStringLiteral("Stand-in sheet"), QPageSize::ExactMatch);
    const QMarginsF margins(v.PhysicalOffsetX * 72.0 / ppi, v.PhysicalOffsetY * 72.0 / ppi, 0, 0);
    QPageLayout layout(sheet, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, margins,
                       QPageLayout::Point);
    layout.setMode(QPageLayout::StandardMode);
    printer.setPageLayout(layout);
    printer.setFullPage(false);

    const QString file = QDir(JobFolder_).filePath(QStringLiteral("job-%1.pdf").arg(JobFiles_.size() + 1));
    printer.setOutputFileName(file);
    JobFiles_ << file;
    JobTitles_ << printer.docName();
    return v;
}

} // namespace tessaria
