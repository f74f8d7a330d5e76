#pragma once
// What the screen shows of a page, without widgets: the layout keeps page
// pixels everywhere, and one view scale (screen pixels per page pixel, the
// zoom) maps them to the screen. The page is shown on its sheet of paper,
// whose margins around the printable area come from the printer.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tessaria {

// A page-pixel rectangle on the screen at a zoom: the edges are rounded, so
// boxes that touch on the page touch on the screen.
QRect ScreenRect(const QRect& page, double zoom);
QSize ScreenSize(const QSize& page, double zoom);
// Back from the screen, each value rounded.
QRect PageRect(const QRect& screen, double zoom);
QSize PageSize(const QSize& screen, double zoom);
// A screen distance in page pixels, rounded.
int PageDistance(int screen, double zoom);

// The sheet around the printable area, in page pixels.
struct TSheetMargins {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
    bool operator==(const TSheetMargins&) const = default;
};
// From the printer's device values: the layout area (width, height, origin on
// the sheet) and the sheet, in device pixels, for a page of that size.
TSheetMargins SheetMargins(int areaWidth, int areaHeight, int originX, int originY, int sheetWidth,
                           int sheetHeight, const QSize& page);

// Where the sheet, the page on it and the sheet's shadow go in the scroll
// box, and how large its contents are. At zoom 1 without margins this is the
// page at (4, 4) with its shadow at (8, 8).
struct TViewGeometry {
    QRect Sheet;
    QRect Page;
    QRect Shadow;
    QSize Contents;
};
TViewGeometry ViewGeometry(const QSize& page, const TSheetMargins& margins, double zoom);

// Zooms that show the whole sheet, or its width, in a viewport.
double FitPageZoom(const QSize& page, const TSheetMargins& margins, const QSize& viewport);
double FitWidthZoom(const QSize& page, const TSheetMargins& margins, int viewportWidth);
constexpr double MinZoom = 0.2;
constexpr double MaxZoom = 12.0;
double ClampZoom(double zoom);
// One step of the wheel or of Ctrl+plus (steps > 0) or Ctrl+minus (steps < 0).
double StepZoom(double zoom, int steps);
// The scroll position that keeps the page point under `anchor` (viewport
// coordinates) there when the page moves from `before` to `after` on the
// screen at the new zoom.
QPoint ScrollKeepingPoint(const QPoint& scroll, const QPoint& anchor, const QRect& before, double zoomBefore,
                          const QRect& after, double zoomAfter);

} // namespace tessaria
