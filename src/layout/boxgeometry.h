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

// BoxSize as stored: values below 2 or above 50 are refused (false); others
// become odd, 2 x (v div 2) + 1.
bool NormalisedBoxSize(int value, int& stored);

} // namespace tessaria
