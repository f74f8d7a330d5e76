#pragma once
// The geometry of a box on its page, without widgets: which zone a pointer
// position hits, and the bounds a drag in that zone gives.

#include <QRect>

namespace tessaria {

enum class TDragMode {
    None,
    Move,
    LeftEdge,
    RightEdge,
    TopEdge,
    BottomEdge,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
};

enum class TZoneCursor { Default, Unchanged, SizeNWSE, SizeNESW, SizeHorizontal, SizeVertical };

struct THitZone {
    TDragMode Mode = TDragMode::None;
    TZoneCursor Cursor = TZoneCursor::Unchanged;
};

// The zone under (x, y) in a box of w x h with handles of side b. The tests are
// open intervals and the first match wins, so the outermost pixel and the
// three vertical strips outside their handles are dead.
THitZone HitZone(int x, int y, int w, int h, int b);

// The bounds (left, top, width, height) a drag gives when the pointer is at
// (x, y) in box coordinates and was pressed at (pressX, pressY). With
// proportion and a usable ratio (height / width), the height follows the width
// (or the width the height for the top and bottom edges); corner drags keep the
// opposite corner where it is. A ratio of 0 drags as without proportion.
QRect DragBounds(TDragMode mode, const QRect& bounds, int x, int y, int pressX, int pressY, bool proportionate,
                 long double ratio);

// The guarded bounds change accepts only boxes of at least 3 x b in both directions.
bool AcceptableBounds(const QRect& bounds, int b);

// The handle squares' top-left corners, clockwise from the top-left one.
struct THandles {
    QPoint Corner[8];
};
THandles HandlePositions(int w, int h, int b);

// A box keeps this many page pixels on its page in both directions, so that
// it can always be grabbed again.
constexpr int ReachableMargin = 10;
// A moved box pulled back until that much of it lies on a page of that size.
QRect KeptOnPage(const QRect& bounds, const QSize& page);
// Whether that much of a box lies on the page (a resize that loses it is refused).
bool ReachesPage(const QRect& bounds, const QSize& page);

// The size of a new picture box: sides of at least 3 x b, and, when the
// wanted size does not fit on the page, scaled down keeping its proportion.
QSize NewBoxSize(const QSize& wanted, const QSize& page, int b);
// Where a new box of that size goes for a drop at `at`: the drop point, moved
// back onto the page only when the box was made smaller to fit.
QPoint NewBoxPosition(const QPoint& at, const QSize& size, const QSize& wanted, const QSize& page);

// Where an arrow key puts a coordinate: one pixel on, or with the raster to
// the next raster line in that direction (direction is -1 or +1).
int ArrowStep(int value, int direction, bool raster);

// BoxSize as stored: values below 2 or above 50 are refused (false); others
// become odd, 2 x (v div 2) + 1.
bool NormalisedBoxSize(int value, int& stored);

} // namespace tessaria
