#include "print/printjob.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>

#include "base/exceptions.h"
#include "print/metafilecanvas.h"
#include "print/pdfprinter.h"
#include "print/prevprinter.h"
#include "print/printpicture.h"

namespace tessaria {

namespace {

QPageLayout::Orientation QtOrientation(TPrinterOrientation orientation)
{
    return orientation == TPrinterOrientation::poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

} // namespace

TPrintJob::TPrintJob(TPreviewPrinter& engine, QPrinter& printer) : Printer_(printer)
{
    printer.setPageOrientation(QtOrientation(engine.Orientation()));
    // A file, whether asked for by the print dialog or by the program, gets
    // the sheet the pages were recorded on, not Qt's default paper.
    if (printer.outputFormat() == QPrinter::PdfFormat)
        UseSheet(printer, engine.Sheet(), engine.Orientation(), engine.PixelsPerInchX());
    printer.setDocName(engine.Title());
    Device_ = Printers().BeginJob(printer);
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        FinalFile_ = printer.outputFileName();
        PartFile_ = FinalFile_ + QStringLiteral(".part");
        printer.setOutputFileName(PartFile_);
    }
    Threaded_ = PrintingOnTwoThreads();
    if (Threaded_)
        Worker_ = std::thread([this] { Work(); });
    else if (!Begin())
        throw Exception("Cannot start the print job");
}

TPrintJob::~TPrintJob()
{
    if (Threaded_) {
        {
            std::lock_guard lock(Mutex_);
            Closing_ = true;
            Queue_.clear();
        }
        Changed_.notify_all();
        if (Worker_.joinable())
            Worker_.join();
    } else if (!Finished_) {
        End(false);
    }
    if (!FinalFile_.isEmpty())
        Printer_.setOutputFileName(FinalFile_);
}

bool TPrintJob::Begin()
{
    Painter_ = std::make_unique<QPainter>();
    if (!Painter_->begin(&Printer_)) {
        Painter_.reset();
        return false;
    }
    // Pictures reach the PDF (or the job CUPS is sent) as their resampled
    // pixels, compressed without loss instead of as JPEG.
    Painter_->setRenderHint(QPainter::LosslessImageRendering);
    return true;
}

void TPrintJob::Play(const TItem& item)
{
    if (Sent_ > 0 && !Printer_.newPage())
        throw Exception("The printer could not start a new page");
    const TRecordedPage& page = *item.Page;
    // A page recorded against another resolution (another printer, or the
    // screen when none was installed) keeps its size on paper.
    QTransform t;
    t.translate(-Device_.PhysicalOffsetX, -Device_.PhysicalOffsetY);
    t.scale(double(Device_.PixelsPerInchX) / page.ReferenceDpiX(), double(Device_.PixelsPerInchY) / page.ReferenceDpiY());
    PlayPage(*Painter_, page, t);
    ++Sent_;
    if (item.Release)
        item.Page->ReleaseImages();
}

void TPrintJob::End(bool keepOutput)
{
    bool ok = true;
    if (Painter_) {
        ok = Painter_->end();
        Painter_.reset();
    }
    ok = ok && Printer_.printerState() != QPrinter::Error;
    if (PartFile_.isEmpty())
        return;
    if (keepOutput && ok) {
        QFile::remove(FinalFile_);
        if (!QFile::rename(PartFile_, FinalFile_)) {
            QFile::remove(PartFile_);
            throw EInOutError("Cannot write the file " + FinalFile_.toStdString());
        }
    } else {
        QFile::remove(PartFile_);
    }
    if (keepOutput && !ok)
        throw Exception("The print job failed");
}

void TPrintJob::Work()
{
    // The painter lives on this thread from begin to end.
    if (!Begin()) {
        std::lock_guard lock(Mutex_);
        Failure_ = std::make_exception_ptr(Exception("Cannot start the print job"));
    }
    bool failed = Failure_ != nullptr; // only this thread sets it
    while (true) {
        TItem item;
        {
            std::unique_lock lock(Mutex_);
            Changed_.wait(lock, [this] { return !Queue_.empty() || Closing_; });
            if (Queue_.empty())
                break; // closing
            item = Queue_.front();
            Queue_.pop_front();
        }
        Changed_.notify_all(); // room for the next page
        if (!failed) {
            try {
                Play(item);
            } catch (...) {
                std::lock_guard lock(Mutex_);
                Failure_ = std::current_exception();
                failed = true;
            }
            if (failed)
                Changed_.notify_all();
        }
    }
    bool keep;
    {
        std::lock_guard lock(Mutex_);
        keep = Finished_ && !Failure_;
    }
    try {
        End(keep);
    } catch (...) {
        std::lock_guard lock(Mutex_);
        Failure_ = std::current_exception();
    }
}

void TPrintJob::RethrowFailure()
{
    std::exception_ptr failure;
    {
        std::lock_guard lock(Mutex_);
        failure = Failure_;
    }
    if (failure)
        std::rethrow_exception(failure);
}

void TPrintJob::Add(TRecordedPage& page, bool releaseAfter)
{
    if (!Threaded_) {
        Play({&page, releaseAfter});
        return;
    }
    std::unique_lock lock(Mutex_);
    // One page waiting at most: the caller does not run ahead of the printer.
    Changed_.wait(lock, [this] { return Queue_.empty() || Failure_; });
    if (Failure_) {
        lock.unlock();
        RethrowFailure();
    }
    Queue_.push_back({&page, releaseAfter});
    lock.unlock();
    Changed_.notify_all();
}

void TPrintJob::Finish()
{
    if (!Threaded_) {
        Finished_ = true;
        End(true);
        return;
    }
    {
        std::lock_guard lock(Mutex_);
        Finished_ = true;
        Closing_ = true;
    }
    Changed_.notify_all();
    Worker_.join();
    RethrowFailure();
}

} // namespace tessaria
