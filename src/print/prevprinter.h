#pragma once
// The preview printer engine: records a document page by page as vector
// pages drawn at the printer's resolution, draws each page's header, footer
// and page number, and shows the pages in the preview or prints them.
// Everything drawn is in device pixels of the reference printer, (0, 0) at
// the sheet's corner; the shift to the printable area happens when printing.

#include <QObject>
#include <QPageSize>
#include <QString>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/printers.h"
#include "print/printlayout.h"
#include "print/textoptions.h"

class QPainter;
class QPrinter;

namespace tessaria {

class TRecordedPage;
class TTovarMetaFileCanvas;

enum class TUnits { unInches, unCentimeters };

class TPreviewPrinter : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
public:
    explicit TPreviewPrinter(QObject* owner = nullptr);
    ~TPreviewPrinter() override;

    TPrinterOrientation Orientation() const { return Orientation_; }
    void SetOrientation(TPrinterOrientation value) { Orientation_ = value; }
    QString Title() const { return Title_; }
    void SetTitle(const QString& value) { Title_ = value; }
    TTextOptions* TextOptions() { return &TextOptions_; }
    const TTextOptions* TextOptions() const { return &TextOptions_; }
    void SetTextOptions(const TTextOptions& value) { TextOptions_ = value; }
    TUnits Units() const { return Units_; }
    void SetUnits(TUnits value);
    double UnitsPerInch() const { return UnitsPerInch_; }
    // A sheet to record and print on instead of the printer's (a PDF of a
    // chosen paper); none: the printer's, or without a printer the locale's.
    const std::optional<QPageSize>& Paper() const { return Paper_; }
    void SetPaper(const std::optional<QPageSize>& value) { Paper_ = value; }

    // Recording.
    void BeginDoc();
    void NewPage();
    void EndDoc();
    // The canvas of the current page; marks the page as used. Null while not recording.
    QPainter* Canvas();
    TTovarMetaFileCanvas* RecordingCanvas();
    bool PageUsed() const { return PageUsed_; }
    bool Recording() const { return Canvas_ != nullptr; }
    int PageCount() const { return int(Pages_.size()); }
    const TRecordedPage& GetPage(int index) const;
    TRecordedPage& GetPage(int index);
    void ClearPages();

    // Called with a page's index as soon as its recording has ended (a page
    // dropped by EndDoc is not reported), so that it can be printed at once
    // or let go of its pictures.
    void SetOnPageRecorded(std::function<void(int)> handler) { OnPageRecorded_ = std::move(handler); }
    // While a job prints the pages as they are recorded, its printer is busy
    // on another thread: the next pages keep the device values read by
    // BeginDoc instead of asking the printer again.
    void SetKeepDeviceValues(bool keep) { KeepDeviceValues_ = keep; }
    // A recorded page keeps what makes its pictures again: they can be let
    // go and had back (pixel for pixel) when the page is shown or printed.
    void ReleasePageImages(int index);
    void RestorePageImages(int index);
    // The pages a viewer shows: `index` with its pictures at once, its
    // neighbours made ready on another thread, every other page let go.
    void KeepPagesAround(int index);
    // Bytes of pictures the recorded pages hold now.
    size_t HeldImageBytes() const;

    // Device values of the reference device, as last read, and the paper
    // they stand for (upright); a file output is given this sheet.
    const TDeviceValues& DeviceValues() const { return Device_; }
    const QPageSize& Sheet() const { return Sheet_; }
    int PixelsPerInchX() const { return Device_.PixelsPerInchX; }
    int PixelsPerInchY() const { return Device_.PixelsPerInchY; }
    int PhysicalWidth() const { return Device_.PhysicalWidth; }
    int PhysicalHeight() const { return Device_.PhysicalHeight; }
    int PhysicalOffsetX() const { return Device_.PhysicalOffsetX; }
    int PhysicalOffsetY() const { return Device_.PhysicalOffsetY; }
    int UnitsToPixelsX(double length) const;
    int UnitsToPixelsY(double length) const;
    // The layout area on the sheet from the device values and the margins:
    // each sum of margins converted and rounded once.
    TPrintGeometry LayoutArea() const;
    // The current printer's name; empty when none is installed.
    QString PrinterName() const;

    // Header, footer and page number of the current page.
    void PrintHeaderFooter(int pageNumber);
    // One line of text between the margins with its top at y; a null font
    // keeps the canvas's font.
    void TextOutAligned(int y, TAlignment alignment, const TPrintFont* font, const QString& text);

    void Preview();
    void Print();
    // Prints pages first..last (from 0) as one job on the current printer,
    // or on the given printer (a PDF file printer, say). False when the range
    // holds no recorded page: then no job is started.
    bool PrintRange(int first, int last);
    bool PrintRange(int first, int last, QPrinter& printer);
    // Asks for range and copies; each copy is a job of its own. True when confirmed.
    bool PrintWithDialog();
    // Runs the page setup dialog on this engine; gives its modal result.
    int PageSetup();
    // Applies the defaults stored by the page setup dialog (once, at start-up).
    void LoadDefaults();

private:
    void ReadDeviceValuesForRecording();
    void PageRecorded(int index);
    void CollectRestored(int index, bool wait);

    TPrinterOrientation Orientation_ = TPrinterOrientation::poPortrait;
    QString Title_;
    TTextOptions TextOptions_;
    TUnits Units_ = TUnits::unInches;
    double UnitsPerInch_ = 1.0;
    std::optional<QPageSize> Paper_;
    QPageSize Sheet_;

    std::vector<std::unique_ptr<TRecordedPage>> Pages_;
    std::unique_ptr<TTovarMetaFileCanvas> Canvas_;
    std::function<void(int)> OnPageRecorded_;
    bool KeepDeviceValues_ = false;
    // Pictures being made again for pages next to the shown one.
    std::map<int, std::future<std::vector<std::pair<size_t, QImage>>>> Restoring_;
    bool PageUsed_ = false;
    TDeviceValues Device_;
};

// x of a line of text w pixels wide between the margins.
int AlignedTextX(TAlignment alignment, int sheetWidth, int leftMargin, int rightMargin, int textWidth);

} // namespace tessaria
