// Times one full repaint of a page of 40 photo boxes (8 rows of 5) at 300 %
// of the paper's real size, as the screen repaints it while a box is dragged:
// the whole page, and the part a 1400 x 900 viewport shows. Side by side in
// one run, taking turns:
//   - ours: every box draws the copy made for its size on the screen;
//   - stretched: the reduced copies (at most 196 x 196) stretched at every
//     paint, as boxes drew before copies were made for the screen;
//   - the page at zoom 1 with the reduced copies stretched, as it was
//     shown before zooming.
// Reports medians with their ranges, the ratios, and the memory the copies
// hold.
//
//   bench_zoom [-n REPAINTS] [DIR]
//
// Without DIR it writes 40 photos of 4000 x 3000 with makephotos.sh into a
// temporary folder.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "common/summary.h"
#include "app/utessaria.h"
#include "document/document.h"
#include "document/documentwriter.h"
#include "layout/canvaspanel.h"
#include "layout/screencopies.h"
#include "platform/consoledialogs.h"
#include "platform/dialogs.h"

using namespace tessaria;

namespace {

struct TStats {
    std::vector<double> Runs;
    double Median() const { return bench::Summary(Runs).Median; }
    double Min() const { return bench::Summary(Runs).Min; }
    double Max() const { return bench::Summary(Runs).Max; }
};

constexpr int Columns = 5, Rows = 8;
const QSize Viewport(1400, 900);

// 40 boxes in 8 rows of 5 on a page of that size, each picture in its cell
// keeping its proportion.
TDocument Layout(const QString& folder, const QSize& page, int ppi)
{
    TDocument document;
    TDocumentPage p;
    p.Width = page.width();
    p.Height = page.height();
    const int cellW = page.width() / Columns, cellH = page.height() / Rows;
    for (int i = 0; i < Columns * Rows; ++i) {
        TDocumentBox box;
        const bool portrait = (i + 1) % 5 == 0; // as makephotos.sh turns them
        box.Width = portrait ? (cellH - 6) * 3 / 4 : cellW - 6;
        box.Height = portrait ? cellH - 6 : (cellW - 6) * 3 / 4;
        box.Left = (i % Columns) * cellW + 3;
        box.Top = (i / Columns) * cellH + 3;
        box.CanvasPPI = ppi;
        box.FontName = "Arial";
        box.FontSize = 10;
        box.SetAlignment(TAlignment::taCenter);
        box.FileName = QDir(folder).filePath(QString::asprintf("photo%03d.jpg", i + 1)).toStdString();
        p.Boxes.push_back(box);
    }
    document.Pages.push_back(std::move(p));
    return document;
}

// One repaint of the page, or of the viewport's part of it, into an image
// the size of what is repainted.
double Repaint(TCanvasPanel* page, const QRect& part)
{
    QImage target(part.size(), QImage::Format_ARGB32_Premultiplied);
    QElapsedTimer clock;
    clock.start();
    page->render(&target, QPoint(), QRegion(part));
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int repaints = 21;
    QString dir;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-n" && i + 1 < argc)
            repaints = std::max(1, std::atoi(argv[++i]));
        else
            dir = QString::fromStdString(a);
    }
    QTemporaryDir config;
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    QTemporaryDir photos;
    if (dir.isEmpty()) {
        dir = photos.path();
        const std::string command = std::string("sh ") + MAKEPHOTOS + " " + dir.toStdString() + " 40";
        std::printf("writing 40 photos of 4000 x 3000 into %s ...\n", dir.toLocal8Bit().constData());
        if (std::system(command.c_str()) != 0)
            return 1;
    }

    QApplication app(argc, argv);
    SetDialogs(std::make_unique<TConsoleDialogs>(std::cerr));
    TfrmTessaria window;
    window.resize(1600, 1000);
    window.show();
    QApplication::processEvents();
    const QString document = QDir(config.path()).filePath("page.tsd");
    SaveDocument(Layout(dir, window.CurrentPage->PageSize(), window.LayoutPPI), document.toStdString());
    QElapsedTimer opening;
    opening.start();
    if (!window.OpenDocumentFile(document))
        return 1;
    const double openMs = opening.nsecsElapsed() / 1e6;
    TCanvasPanel* page = window.CurrentPage;
    TScreenCopies& copies = *window.ScreenCopies;

    // 300 % of the real size; the copies made for it before the clock runs.
    window.ZoomBoxChosen("300 %");
    const double zoom = window.Zoom;
    const QRect whole(QPoint(0, 0), page->size());
    const QRect shown = QRect(whole.center() - QPoint(Viewport.width() / 2, Viewport.height() / 2), Viewport) & whole;
    QElapsedTimer making;
    making.start();
    Repaint(page, whole);
    copies.WaitForAll();
    const double makeMs = making.nsecsElapsed() / 1e6;
    const qint64 kept = copies.BytesKept();

    TStats oursWhole, oursShown, stretchedWhole, stretchedShown, atOne;
    for (int i = 0; i < repaints; ++i) {
        window.SetZoom(zoom); // the copies for 300 % are still kept
        oursWhole.Runs.push_back(Repaint(page, whole));
        oursShown.Runs.push_back(Repaint(page, shown));
        copies.SetActive(false);
        stretchedWhole.Runs.push_back(Repaint(page, whole));
        stretchedShown.Runs.push_back(Repaint(page, shown));
        window.SetZoom(1.0);
        atOne.Runs.push_back(Repaint(page, QRect(QPoint(0, 0), page->size())));
        copies.SetActive(true);
    }
    window.SetZoom(zoom);
    Repaint(page, whole);
    const bool stillKept = copies.BytesKept() == kept;

    std::printf("page %d x %d page pixels, %d boxes, zoom %.3f (300 %%): %d x %d screen pixels\n",
                page->PageWidth(), page->PageHeight(), int(window.Boxes().size()), zoom, whole.width(),
                whole.height());
    std::printf("opening the layout (reduced copies): %.0f ms; first copies for 300 %%: %.0f ms, %.1f MiB kept\n",
                openMs, makeMs, kept / 1048576.0);
    auto row = [](const char* name, const TStats& s) {
        std::printf("%-36s median %7.2f ms  (%.2f .. %.2f)\n", name, s.Median(), s.Min(), s.Max());
    };
    std::printf("%d repaints each, taking turns:\n", repaints);
    row("ours, whole page", oursWhole);
    row("ours, 1400 x 900 viewport", oursShown);
    row("stretched reduced copies, whole page", stretchedWhole);
    row("stretched reduced copies, viewport", stretchedShown);
    row("zoom 1, stretched, whole page", atOne);
    std::printf("copies for 300 %% kept through the turns: %s\n", stillKept ? "yes" : "no");
    std::printf("ratio ours / stretched: whole page %.2f, viewport %.2f\n",
                oursWhole.Median() / stretchedWhole.Median(), oursShown.Median() / stretchedShown.Median());
    return 0;
}
