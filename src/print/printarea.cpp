// The printable area the pages are sized from, and the options that change it.
#include <QLabel>

#include "app/forms.h"
#include "app/utessaria.h"
#include "layout/ulorvaneoptions.h"
#include "print/prevprinter.h"

namespace tessaria {

TPrintableArea TfrmTessaria::CurrentPrintableArea()
{
    // An empty document refreshes the device values from the current printer.
    PP1->BeginDoc();
    PP1->EndDoc();
    return EnginePrintableArea();
}

TPrintableArea TfrmTessaria::EnginePrintableArea()
{
    const TPrintGeometry g = PP1->LayoutArea();
    TPrintableArea area;
    area.DpiX = PP1->PixelsPerInchX();
    area.DpiY = PP1->PixelsPerInchY();
    area.Width = g.Width;
    area.Height = g.Height;
    if (frmLorvaneOptions) {
        frmLorvaneOptions->HPC->setText(
            QStringLiteral("Horizontal Pixel Count: %1 at %2 DPI").arg(area.Width).arg(area.DpiX));
        frmLorvaneOptions->VPC->setText(QStringLiteral("Vertical Pixel Count: %1 at %2 DPI").arg(area.Height).arg(area.DpiY));
        frmLorvaneOptions->txtSelectedPrinter->setText(PP1->PrinterName());
    }
    return area;
}

void TfrmTessaria::OrientationChosen(int index)
{
    PP1->SetOrientation(index == 1 ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait);
    UpdatePageGeometry();
}

void TfrmTessaria::PrintInfoChosen(bool ticked)
{
    if (ticked) {
        PP1->TextOptions()->SetFooterMargin(0.4);
        PP1->TextOptions()->SetPrintPageNumber(TPrintPageNumber::pnNone);
    } else {
        PP1->TextOptions()->SetFooterMargin(0);
    }
    UpdatePageGeometry();
}

} // namespace tessaria
