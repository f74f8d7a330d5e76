// The main window's check before printing: what the layout would print wrong,
// shown in one dialog before Preview and Print.
#include <QDateTime>
#include <QFileInfo>
#include <QScreen>
#include <QScrollArea>

#include "app/utessaria.h"
#include "imageio/reducedpicture.h"
#include "layout/canvaspanel.h"
#include "layout/rectbox.h"
#include "platform/busycursor.h"
#include "platform/dialogs.h"
#include "platform/filenames.h"
#include "print/prevprinter.h"
#include "print/uprintcheck.h"

namespace tessaria {

TPictureProbe TfrmTessaria::ProbePicture(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return {TPictureProbe::TState::Missing, 0, 0, {}};
    const qint64 modified = info.lastModified().toMSecsSinceEpoch();
    const auto known = PictureProbes_.constFind(fileName);
    if (known != PictureProbes_.constEnd() && known->Size == info.size() && known->Modified == modified)
        return known->Probe;
    TPictureProbe probe;
    try {
        // Read to its end, but a JPEG at its smallest scale: the size and
        // whether it can be read are all the check needs.
        const TReducedPicture picture = LoadPictureAtLeast(FileNameString(fileName), 1, 1);
        probe.Width = picture.Width;
        probe.Height = picture.Height;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        probe.State = TPictureProbe::TState::Unreadable;
        probe.Message = QString::fromUtf8(e.what());
    }
    PictureProbes_.insert(fileName, {info.size(), modified, probe});
    return probe;
}

void TfrmTessaria::RememberPicture(const QString& fileName, int width, int height)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return;
    PictureProbes_.insert(fileName, {info.size(), info.lastModified().toMSecsSinceEpoch(),
                                     {TPictureProbe::TState::Readable, width, height, {}}});
}

std::vector<TFinding> TfrmTessaria::CheckLayoutForPrinting(int dpi)
{
    if (!CurrentPage)
        return {};
    TBusyCursor busy;
    CurrentPrintableArea(); // the printer's values as they are now
    TCheckSettings settings;
    settings.Device = PP1->DeviceValues();
    settings.Area = PP1->LayoutArea();
    settings.ScalePage = CurrentPage->PageSize();
    settings.Dpi = dpi;
    std::vector<TCheckPage> pages;
    for (const TCanvasPanel* page : Pages) {
        TCheckPage p;
        p.Size = page->PageSize();
        for (const TRectBox* box : PageBoxes(page)) {
            TCheckBox b;
            b.Bounds = box->Bounds();
            b.Rotation = box->Rotation();
            b.TextBox = box->TextBox();
            if (b.TextBox) {
                b.Text = box->Lines().join('\n');
                b.Font = box->Font();
            } else {
                b.FileName = box->FileName();
            }
            p.Boxes.push_back(b);
        }
        pages.push_back(std::move(p));
    }
    return CheckLayout(pages, settings, [this](const QString& fileName) { return ProbePicture(fileName); });
}

bool TfrmTessaria::CheckBeforePrinting(bool print, int dpi)
{
    const std::vector<TFinding> findings = CheckLayoutForPrinting(dpi);
    if (findings.empty())
        return true;
    TfrmPrintCheck dialog(this);
    dialog.SetFindings(findings, print);
    connect(&dialog, &TfrmPrintCheck::FindingChosen, this, [this, &findings, &dialog](int index) {
        if (index < 0 || size_t(index) >= findings.size())
            return;
        ShowFinding(findings[size_t(index)]);
        // The dialog is moved off the box it shows, or selecting would show nothing.
        const TRectBox* box = SelectedBox();
        if (box && dialog.isVisible() && dialog.screen()) {
            const QRect shown(box->mapToGlobal(QPoint(0, 0)), box->size());
            dialog.move(PlaceClearOf(dialog.frameGeometry(), shown, dialog.screen()->availableGeometry()));
        }
    });
    return Dialogs().ExecModal(dialog) == QDialog::Accepted;
}

void TfrmTessaria::ShowFinding(const TFinding& finding)
{
    if (finding.Page < 0 || finding.Page >= Pages.size())
        return;
    TCanvasPanel* page = Pages[finding.Page];
    ShowPages(Pages, page);
    const QList<TRectBox*> boxes = PageBoxes(page);
    if (finding.Box < 0 || finding.Box >= boxes.size())
        return;
    TRectBox* box = boxes[finding.Box];
    box->UnfocusAll();
    box->SetFocus(true);
    box->raise();
    RectBoxClick(box);
    ScrollBox1->ensureWidgetVisible(box);
    UpdateActions();
}

} // namespace tessaria
