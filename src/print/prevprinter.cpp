#include "print/prevprinter.h"

#include <QApplication>
#include <QPrinter>
#include <chrono>
#include <cstdlib>

#include "base/exceptions.h"
#include "base/format.h"
#include "base/rounding.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "print/metafilecanvas.h"
#include "print/pagesetupdlg.h"
#include "print/paper.h"
#include "print/pdfprinter.h"
#include "print/prevform.h"
#include "print/printjob.h"
#include "print/printpicture.h"

namespace tessaria {

namespace {

class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

Exception IndexError(int index) { return Exception(Format("List index out of bounds (%d)", index)); }

} // namespace

int AlignedTextX(TAlignment alignment, int sheetWidth, int leftMargin, int rightMargin, int textWidth)
{
    switch (alignment) {
    case TAlignment::taLeftJustify: return leftMargin;
    case TAlignment::taRightJustify: return sheetWidth - rightMargin - textWidth;
    case TAlignment::taCenter: break;
    }
    return sheetWidth / 2 - textWidth / 2;
}

TPreviewPrinter::TPreviewPrinter(QObject* owner) : QObject(owner) {}

TPreviewPrinter::~TPreviewPrinter()
{
    Canvas_.reset(); // the canvas paints on the last page: it goes first
}

void TPreviewPrinter::SetUnits(TUnits value)
{
    Units_ = value;
    UnitsPerInch_ = value == TUnits::unCentimeters ? 2.54 : 1.0;
}

void TPreviewPrinter::ReadDeviceValuesForRecording()
{
    TPrinters& printers = Printers();
    const bool printer = printers.HasPrinter();
    TDeviceValues v;
    if (printer)
        v = printers.DeviceValues(Orientation_);
    if (Paper_) {
        // The chosen paper at the printer's resolution, so that text comes
        // out as it would on the printer.
        Sheet_ = *Paper_;
        v = SheetDeviceValues(Sheet_, printer && v.PixelsPerInchX > 0 ? v.PixelsPerInchX : ScreenLogicalDpi(),
                              Orientation_);
    } else if (printer && v.PhysicalWidth > 0 && v.PixelsPerInchX > 0 && v.PixelsPerInchY > 0) {
        Sheet_ = SheetOfDeviceValues(v, Orientation_);
    } else {
        // No printer (or one without a sheet): the locale's paper at the
        // screen's resolution, turned as the orientation says.
        Sheet_ = PaperForLocale(QLocale());
        v = SheetDeviceValues(Sheet_, ScreenLogicalDpi(), Orientation_);
    }
    if (v.PixelsPerInchX <= 0 || v.PixelsPerInchY <= 0 || v.PhysicalWidth < 0 || v.PhysicalHeight <= 0)
        throw Exception(Format("The printer %s reports no usable page size",
                               printers.CurrentPrinterName().toStdString().c_str()));
    Device_ = v;
}

void TPreviewPrinter::BeginDoc()
{
    ClearPages();
    NewPage();
}

void TPreviewPrinter::NewPage()
{
    if (!KeepDeviceValues_ || !Canvas_)
        ReadDeviceValuesForRecording();
    Pages_.push_back(std::make_unique<TRecordedPage>(Device_.PixelsPerInchX, Device_.PixelsPerInchY));
    auto canvas = std::make_unique<TTovarMetaFileCanvas>(*Pages_.back());
    canvas->setBackgroundMode(Qt::TransparentMode);
    if (Canvas_) {
        canvas->setFont(Canvas_->font());
        canvas->setBrush(Canvas_->brush());
        canvas->setPen(Canvas_->pen());
    } else {
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(10);
        canvas->SetPointFont(font);
        canvas->setBrush(Qt::NoBrush);
    }
    const bool closesPage = Canvas_ != nullptr;
    Canvas_ = std::move(canvas); // ends the recording of the previous page
    PageUsed_ = false;
    if (closesPage)
        PageRecorded(PageCount() - 2);
}

void TPreviewPrinter::PageRecorded(int index)
{
    if (OnPageRecorded_ && index >= 0)
        OnPageRecorded_(index);
}

void TPreviewPrinter::EndDoc()
{
    if (!Canvas_)
        return; // not recording: nothing to finish, and no page to drop
    Canvas_.reset();
    if (!PageUsed_ && !Pages_.empty())
        Pages_.pop_back();
    else
        PageRecorded(PageCount() - 1);
}

QPainter* TPreviewPrinter::Canvas() { return RecordingCanvas(); }

TTovarMetaFileCanvas* TPreviewPrinter::RecordingCanvas()
{
    if (Canvas_)
        PageUsed_ = true;
    return Canvas_.get();
}

const TRecordedPage& TPreviewPrinter::GetPage(int index) const
{
    if (index < 0 || index >= PageCount())
        throw IndexError(index);
    return *Pages_[size_t(index)];
}

TRecordedPage& TPreviewPrinter::GetPage(int index)
{
    if (index < 0 || index >= PageCount())
        throw IndexError(index);
    return *Pages_[size_t(index)];
}

void TPreviewPrinter::ClearPages()
{
    for (auto& [index, restoring] : Restoring_)
        restoring.wait();
    Restoring_.clear();
    Canvas_.reset();
    Pages_.clear();
    PageUsed_ = false;
}

void TPreviewPrinter::ReleasePageImages(int index)
{
    if (index < 0 || index >= PageCount())
        throw IndexError(index);
    Pages_[size_t(index)]->ReleaseImages();
}

void TPreviewPrinter::RestorePageImages(int index)
{
    if (index < 0 || index >= PageCount())
        throw IndexError(index);
    CollectRestored(index, true);
    Pages_[size_t(index)]->RestoreImages();
}

void TPreviewPrinter::CollectRestored(int index, bool wait)
{
    const auto found = Restoring_.find(index);
    if (found == Restoring_.end())
        return;
    if (!wait && found->second.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return;
    std::future<TRecordedPage::TMadeImages> restoring = std::move(found->second);
    Restoring_.erase(found);
    TRecordedPage::TMadeImages made;
    try {
        made = restoring.get();
    } catch (...) {
        if (wait)
            throw; // the page is wanted now: say why it cannot be had
        return;    // tried again when it is wanted
    }
    if (index < PageCount())
        Pages_[size_t(index)]->PutBackImages(std::move(made));
}

void TPreviewPrinter::KeepPagesAround(int index)
{
    if (index < 0 || index >= PageCount())
        return;
    for (int i = 0; i < PageCount(); ++i) {
        if (std::abs(i - index) <= 1)
            continue;
        CollectRestored(i, false);
        if (!Restoring_.count(i))
            Pages_[size_t(i)]->ReleaseImages();
    }
    RestorePageImages(index);
    for (int i : {index + 1, index - 1}) {
        if (i < 0 || i >= PageCount())
            continue;
        CollectRestored(i, false);
        TRecordedPage& page = *Pages_[size_t(i)];
        if (page.ImagesHeld() || Restoring_.count(i))
            continue;
        if (!PrintingOnTwoThreads()) {
            page.RestoreImages();
            continue;
        }
        Restoring_[i] = std::async(std::launch::async, [missing = page.MissingImages()] {
            return TRecordedPage::MakeImages(missing);
        });
    }
}

size_t TPreviewPrinter::HeldImageBytes() const
{
    size_t bytes = 0;
    for (const auto& page : Pages_)
        bytes += page->HeldImageBytes();
    return bytes;
}

int TPreviewPrinter::UnitsToPixelsX(double length) const
{
    return int(Round(Device_.PixelsPerInchX * length / UnitsPerInch_));
}

int TPreviewPrinter::UnitsToPixelsY(double length) const
{
    return int(Round(Device_.PixelsPerInchY * length / UnitsPerInch_));
}

TPrintGeometry TPreviewPrinter::LayoutArea() const
{
    const TTextOptions& o = TextOptions_;
    TPrintGeometry g;
    g.Width = Device_.PhysicalWidth - UnitsToPixelsX(o.MarginLeft() + o.MarginRight());
    g.Height = Device_.PhysicalHeight -
               UnitsToPixelsY(o.MarginTop() + o.MarginBottom() + o.HeaderMargin() + o.FooterMargin());
    g.OriginX = UnitsToPixelsX(o.MarginLeft());
    g.OriginY = UnitsToPixelsY(o.MarginTop() + o.HeaderMargin());
    return g;
}

QString TPreviewPrinter::PrinterName() const { return Printers().CurrentPrinterName(); }

void TPreviewPrinter::PrintHeaderFooter(int pageNumber)
{
    const TTextOptions& o = TextOptions_;
    const int headerY = UnitsToPixelsY(o.HeaderMargin());
    const int footerY = Device_.PhysicalHeight - UnitsToPixelsY(o.FooterMargin());
    TextOutAligned(headerY, o.HeaderAlign(), &o.HeaderFont(), o.Header());
    TextOutAligned(footerY, o.FooterAlign(), &o.FooterFont(), o.Footer());
    const QString text = FormatPageNumber(o.PageNumText(), pageNumber);
    switch (o.PrintPageNumber()) {
    case TPrintPageNumber::pnBottom: TextOutAligned(footerY, o.PageNumAlign(), &o.PageNumFont(), text); break;
    case TPrintPageNumber::pnTop: TextOutAligned(headerY, o.PageNumAlign(), &o.PageNumFont(), text); break;
    case TPrintPageNumber::pnNone: break;
    }
}

void TPreviewPrinter::TextOutAligned(int y, TAlignment alignment, const TPrintFont* font, const QString& text)
{
    TTovarMetaFileCanvas* canvas = RecordingCanvas();
    if (!canvas)
        throw Exception("No page is being recorded");
    const QFont savedFont = canvas->font();
    const QPen savedPen = canvas->pen();
    if (font) {
        canvas->setFont(canvas->DeviceFont(font->Font));
        canvas->setPen(ColorFromTColor(font->Color));
    }
    const QFontMetrics metrics = canvas->fontMetrics();
    const int w = metrics.horizontalAdvance(text);
    const int x = AlignedTextX(alignment, Device_.PhysicalWidth, UnitsToPixelsX(TextOptions_.MarginLeft()),
                               UnitsToPixelsX(TextOptions_.MarginRight()), w);
    if (!text.isEmpty())
        canvas->drawText(x, y + metrics.ascent(), text);
    canvas->setFont(savedFont);
    canvas->setPen(savedPen);
}

void TPreviewPrinter::Preview()
{
    TPreviewForm form(*this, QApplication::activeWindow());
    form.LayOut();
    Dialogs().ExecModal(form);
}

void TPreviewPrinter::Print() { PrintRange(0, PageCount() - 1); }

bool TPreviewPrinter::PrintRange(int first, int last)
{
    return PrintRange(first, last, Printers().Printer());
}

bool TPreviewPrinter::PrintRange(int first, int last, QPrinter& printer)
{
    if (first > last || PageCount() == 0)
        return false;
    if (first < 0 || first >= PageCount())
        throw IndexError(first);
    if (last >= PageCount())
        throw IndexError(last);

    TBusyCursor busy;
    TPrintJob job(*this, printer);
    if (&printer == &Printers().Printer())
        Device_ = job.DeviceValues();
    for (int i = first; i <= last; ++i) {
        TRecordedPage& page = *Pages_[size_t(i)];
        CollectRestored(i, true);
        // A page whose pictures were let go has them back for the printer
        // (made here while the previous page is being printed) and lets
        // them go again afterwards.
        const bool held = page.ImagesHeld();
        if (!held)
            page.RestoreImages();
        job.Add(page, !held);
    }
    job.Finish();
    return true;
}

bool TPreviewPrinter::PrintWithDialog()
{
    TPrintDialogSpec spec;
    spec.MinPage = 1;
    spec.MaxPage = std::max(1, PageCount());
    spec.FromPage = 1;
    spec.ToPage = spec.MaxPage;
    spec.PageRange = false;
    spec.Copies = 1;
    if (!Dialogs().Print(Printers().Printer(), spec))
        return false;
    int first = 0;
    int last = PageCount() - 1;
    if (spec.PageRange) {
        first = spec.FromPage - 1;
        last = spec.ToPage - 1;
    }
    for (int copy = 0; copy < std::max(1, spec.Copies); ++copy)
        PrintRange(first, last);
    return true;
}

int TPreviewPrinter::PageSetup()
{
    TPageSetupForm form(*this, QApplication::activeWindow());
    return form.Run();
}

void TPreviewPrinter::LoadDefaults()
{
    TPageSetupForm form(*this);
    form.LoadDefaults();
}

} // namespace tessaria
