#include "layout/viewgeometry.h"

#include <algorithm>
#include <cmath>

namespace tessaria {

namespace {

int Near(double v) { return int(std::floor(v + 0.5)); }

// The page sits 4 pixels into the scroll box, its shadow 4 further.
constexpr int SheetOffset = 4;
constexpr int ShadowOffset = 4;
// Room the contents keep right of and below the shadow.
constexpr int ContentsRoom = 9;
constexpr double ZoomStep = 1.25;

} // namespace

QRect ScreenRect(const QRect& page, double zoom)
{
    const int left = Near(page.x() * zoom), top = Near(page.y() * zoom);
    const int right = Near((page.x() + page.width()) * zoom), bottom = Near((page.y() + page.height()) * zoom);
    return QRect(left, top, std::max(1, right - left), std::max(1, bottom - top));
}

QSize ScreenSize(const QSize& page, double zoom)
{
    return QSize(std::max(1, Near(page.width() * zoom)), std::max(1, Near(page.height() * zoom)));
}

QRect PageRect(const QRect& screen, double zoom)
{
    return QRect(Near(screen.x() / zoom), Near(screen.y() / zoom), Near(screen.width() / zoom),
                 Near(screen.height() / zoom));
}

QSize PageSize(const QSize& screen, double zoom)
{
    return QSize(Near(screen.width() / zoom), Near(screen.height() / zoom));
}

int PageDistance(int screen, double zoom) { return Near(screen / zoom); }

TSheetMargins SheetMargins(int areaWidth, int areaHeight, int originX, int originY, int sheetWidth,
                           int sheetHeight, const QSize& page)
{
    TSheetMargins m;
    if (areaWidth <= 0 || areaHeight <= 0 || page.isEmpty())
        return m;
    const double sx = double(page.width()) / areaWidth, sy = double(page.height()) / areaHeight;
    m.Left = std::max(0, originX) * sx;
    m.Top = std::max(0, originY) * sy;
    m.Right = std::max(0, sheetWidth - originX - areaWidth) * sx;
    m.Bottom = std::max(0, sheetHeight - originY - areaHeight) * sy;
    return m;
}

TViewGeometry ViewGeometry(const QSize& page, const TSheetMargins& m, double zoom)
{
    TViewGeometry v;
    const int left = Near(m.Left * zoom), top = Near(m.Top * zoom);
    const QSize shown = ScreenSize(page, zoom);
    v.Page = QRect(QPoint(SheetOffset + left, SheetOffset + top), shown);
    v.Sheet = QRect(SheetOffset, SheetOffset, left + shown.width() + Near(m.Right * zoom),
                    top + shown.height() + Near(m.Bottom * zoom));
    v.Shadow = v.Sheet.translated(ShadowOffset, ShadowOffset);
    v.Contents = QSize(v.Shadow.right() + ContentsRoom, v.Shadow.bottom() + ContentsRoom);
    return v;
}

double FitPageZoom(const QSize& page, const TSheetMargins& m, const QSize& viewport)
{
    const double w = m.Left + page.width() + m.Right, h = m.Top + page.height() + m.Bottom;
    const int room = SheetOffset + ShadowOffset + ContentsRoom;
    if (w <= 0 || h <= 0)
        return 1;
    return ClampZoom(std::min((viewport.width() - room) / w, (viewport.height() - room) / h));
}

double FitWidthZoom(const QSize& page, const TSheetMargins& m, int viewportWidth)
{
    const double w = m.Left + page.width() + m.Right;
    if (w <= 0)
        return 1;
    return ClampZoom((viewportWidth - SheetOffset - ShadowOffset - ContentsRoom) / w);
}

double ClampZoom(double zoom) { return std::clamp(std::isfinite(zoom) ? zoom : 1.0, MinZoom, MaxZoom); }

double StepZoom(double zoom, int steps) { return ClampZoom(zoom * std::pow(ZoomStep, steps)); }

QPoint ScrollKeepingPoint(const QPoint& scroll, const QPoint& anchor, const QRect& before, double zoomBefore,
                          const QRect& after, double zoomAfter)
{
    // The page point under the anchor, in page pixels, before and after.
    const double px = (scroll.x() + anchor.x() - before.x()) / zoomBefore;
    const double py = (scroll.y() + anchor.y() - before.y()) / zoomBefore;
    return QPoint(Near(after.x() + px * zoomAfter - anchor.x()), Near(after.y() + py * zoomAfter - anchor.y()));
}

} // namespace tessaria
