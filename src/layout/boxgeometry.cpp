#include "layout/boxgeometry.h"

#include <algorithm>

#include "base/rounding.h"
#include "layout/layoutrules.h"

namespace tessaria {

namespace {

// v in (a, b): strictly between the two, whichever is larger.
bool Between(int v, int a, int b) { return (a < v && v < b) || (b < v && v < a); }

int RoundLD(long double v) { return int(Round(double(v))); }

} // namespace

THitZone HitZone(int x, int y, int w, int h, int b)
{
    const int midY = (h - b) / 2;
    const int midX = (w - b) / 2;
    const bool top = Between(y, 0, b);
    const bool middleY = Between(y, midY, midY + b);
    const bool bottom = Between(y, h - b, h);
    if (Between(x, 0, b)) {
        if (top)
            return {TDragMode::TopLeft, TZoneCursor::SizeNWSE};
        if (middleY)
            return {TDragMode::LeftEdge, TZoneCursor::SizeHorizontal};
        if (bottom)
            return {TDragMode::BottomLeft, TZoneCursor::SizeNESW};
        return {TDragMode::None, TZoneCursor::Default};
    }
    if (Between(x, w - b, w)) {
        if (top)
            return {TDragMode::TopRight, TZoneCursor::SizeNESW};
        if (middleY)
            return {TDragMode::RightEdge, TZoneCursor::SizeHorizontal};
        if (bottom)
            return {TDragMode::BottomRight, TZoneCursor::SizeNWSE};
        return {TDragMode::None, TZoneCursor::Default};
    }
    if (Between(x, midX, midX + b)) {
        if (top)
            return {TDragMode::TopEdge, TZoneCursor::SizeVertical};
        if (bottom)
            return {TDragMode::BottomEdge, TZoneCursor::SizeVertical};
        return {TDragMode::None, TZoneCursor::Default};
    }
    if (Between(x, 0, w) && Between(y, 0, h))
        return {TDragMode::Move, TZoneCursor::Default};
    return {TDragMode::None, TZoneCursor::Unchanged};
}

QRect DragBounds(TDragMode mode, const QRect& bounds, int x, int y, int pressX, int pressY, bool proportionate,
                 long double ratio)
{
    const int L = bounds.x(), T = bounds.y(), W = bounds.width(), H = bounds.height();
    const long double R = ratio;
    const bool keep = proportionate && R > 0;
    switch (mode) {
    case TDragMode::None: return bounds;
    case TDragMode::Move: return QRect(L + x - pressX, T + y - pressY, W, H);
    case TDragMode::LeftEdge:
        return keep ? QRect(L + x, T, W - x, RoundLD((W - x) * R)) : QRect(L + x, T, W - x, H);
    case TDragMode::RightEdge: return keep ? QRect(L, T, x, RoundLD(x * R)) : QRect(L, T, x, H);
    case TDragMode::TopEdge:
        return keep ? QRect(L, T + y, RoundLD((H - y) / R), H - y) : QRect(L, T + y, W, H - y);
    case TDragMode::BottomEdge: return keep ? QRect(L, T, RoundLD(y / R), y) : QRect(L, T, W, y);
    case TDragMode::TopLeft: {
        if (!keep)
            return QRect(L + x, T + y, W - x, H - y);
        const int w = W - x, h = RoundLD(w * R);
        return QRect(L + x, T + H - h, w, h); // the bottom-right corner stays
    }
    case TDragMode::TopRight: {
        if (!keep)
            return QRect(L, T + y, x, H - y);
        const int h = RoundLD(x * R);
        return QRect(L, T + H - h, x, h); // the bottom-left corner stays
    }
    case TDragMode::BottomLeft: {
        if (!keep)
            return QRect(L + x, T, W - x, y);
        const int w = W - x;
        return QRect(L + x, T, w, RoundLD(w * R)); // the top-right corner stays
    }
    case TDragMode::BottomRight:
        return keep ? QRect(L, T, x, RoundLD(x * R)) : QRect(L, T, x, y); // the top-left corner stays
    }
    return bounds;
}

bool AcceptableBounds(const QRect& bounds, int b) { return bounds.width() >= 3 * b && bounds.height() >= 3 * b; }

THandles HandlePositions(int w, int h, int b)
{
    return {{QPoint(0, 0), QPoint(w / 2 - b / 2, 0), QPoint(w - b, 0), QPoint(w - b, h / 2 - b / 2),
             QPoint(w - b, h - b), QPoint(w / 2 - b / 2, h - b), QPoint(0, h - b), QPoint(0, h / 2 - b / 2)}};
}

QRect KeptOnPage(const QRect& bounds, const QSize& page)
{
    const int m = ReachableMargin;
    QRect kept = bounds;
    kept.moveLeft(std::clamp(bounds.x(), std::min(m - bounds.width(), page.width() - m), page.width() - m));
    kept.moveTop(std::clamp(bounds.y(), std::min(m - bounds.height(), page.height() - m), page.height() - m));
    return kept;
}

bool ReachesPage(const QRect& bounds, const QSize& page)
{
    const QRect on = bounds.intersected(QRect(QPoint(0, 0), page));
    return on.width() >= ReachableMargin && on.height() >= ReachableMargin;
}

QSize NewBoxSize(const QSize& wanted, const QSize& page, int b)
{
    double w = std::max(wanted.width(), 1), h = std::max(wanted.height(), 1);
    if (page.width() > 0 && page.height() > 0 && (w > page.width() || h > page.height())) {
        const double scale = std::min(page.width() / w, page.height() / h);
        w *= scale;
        h *= scale;
    }
    const int least = 3 * b;
    return QSize(std::max(least, int(Round(w))), std::max(least, int(Round(h))));
}

QPoint NewBoxPosition(const QPoint& at, const QSize& size, const QSize& wanted, const QSize& page)
{
    if (wanted.width() <= page.width() && wanted.height() <= page.height())
        return at;
    return QPoint(std::clamp(at.x(), 0, std::max(0, page.width() - size.width())),
                  std::clamp(at.y(), 0, std::max(0, page.height() - size.height())));
}

int ArrowStep(int value, int direction, bool raster)
{
    if (!raster)
        return value + direction;
    // Floor division, so that negative positions snap the same way.
    const int r = AlignRaster;
    const int line = (value >= 0 ? value / r : -((-value + r - 1) / r)) * r;
    if (direction > 0)
        return line + r;
    return line == value ? value - r : line;
}

bool NormalisedBoxSize(int value, int& stored)
{
    if (value < 2 || value > 50)
        return false;
    stored = 2 * (value / 2) + 1;
    return true;
}

} // namespace tessaria
