#pragma once
// The printer seam: the current printer's name, its device values for an
// orientation, and the QPrinter that real jobs and the printer dialogs use.
// The real implementation follows the system's default CUPS queue; tests
// install a stand-in with any resolution, sheet and offsets, or no printer.

#include <QString>
#include <QStringList>
#include <memory>

class QPrinter;

namespace tessaria {

enum class TPrinterOrientation { poPortrait, poLandscape };

// A device's values, all in device pixels: pixels per inch, the whole sheet,
// and the unprintable strip at its left and top edges.
struct TDeviceValues {
    int PixelsPerInchX = 0;
    int PixelsPerInchY = 0;
    int PhysicalWidth = 0;
    int PhysicalHeight = 0;
    int PhysicalOffsetX = 0;
    int PhysicalOffsetY = 0;

    bool operator==(const TDeviceValues&) const = default;
};

class TPrinters {
public:
    virtual ~TPrinters() = default;

    // Empty when no printer is installed.
    virtual QString CurrentPrinterName() = 0;
    bool HasPrinter() { return !CurrentPrinterName().isEmpty(); }

    // The current printer as a QPrinter, kept for the whole run so that the
    // choices of the printer set-up dialog stay. Also there without a printer
    // (then it prints nowhere).
    virtual QPrinter& Printer() = 0;

    // Gives the printer the orientation and reads its device values.
    virtual TDeviceValues DeviceValues(TPrinterOrientation orientation) = 0;

    // Called before a job starts on `printer` (the current printer or a file
    // printer a caller supplied) and gives the device values to print with.
    // The printer's painter origin is then the printable area's corner.
    virtual TDeviceValues BeginJob(QPrinter& printer) = 0;
};

// The printers in use; the system's unless a test installed others.
TPrinters& Printers();
// Takes ownership; null brings the system's back. Returns the previous one.
std::unique_ptr<TPrinters> SetPrinters(std::unique_ptr<TPrinters> printers);

// Prepares a printer for a job: no copies of its own, no page range, the
// printable area as margins, and reads its device values.
TDeviceValues PrepareJobPrinter(QPrinter& printer);
// The device values of a printer as it is set up now.
TDeviceValues DeviceValuesOf(const QPrinter& printer);

// The system's printers through Qt Print Support (CUPS).
class TSystemPrinters final : public TPrinters {
public:
    TSystemPrinters();
    ~TSystemPrinters() override;

    QString CurrentPrinterName() override;
    QPrinter& Printer() override;
    TDeviceValues DeviceValues(TPrinterOrientation orientation) override;
    TDeviceValues BeginJob(QPrinter& printer) override;

private:
    void Attach();

    std::unique_ptr<QPrinter> Printer_;
    bool Attached_ = false;
};

// A printer for tests: fixed device values (given for portrait; landscape
// swaps them), or no printer at all when the name is empty (then its QPrinter
// writes where a file dialog pointed it, as the system's does). Its own jobs
// go to PDF files job-1.pdf, job-2.pdf ... in a folder, laid out so that the
// painter origin is the printable corner as on a real printer.
class TStandInPrinters final : public TPrinters {
public:
    TStandInPrinters(const QString& name, const TDeviceValues& portrait, const QString& jobFolder);
    ~TStandInPrinters() override;

    QString CurrentPrinterName() override { return Name_; }
    QPrinter& Printer() override;
    TDeviceValues DeviceValues(TPrinterOrientation orientation) override;
    TDeviceValues BeginJob(QPrinter& printer) override;

    // The files of the jobs begun on its own printer, in order.
    const QStringList& JobFiles() const { return JobFiles_; }
    // The job names (document names) they were given.
    const QStringList& JobTitles() const { return JobTitles_; }
    TPrinterOrientation LastOrientation() const { return LastOrientation_; }

private:
    QString Name_;
    TDeviceValues Portrait_;
    QString JobFolder_;
    std::unique_ptr<QPrinter> Printer_;
    QStringList JobFiles_;
    QStringList JobTitles_;
    TPrinterOrientation LastOrientation_ = TPrinterOrientation::poPortrait;
};

} // namespace tessaria
