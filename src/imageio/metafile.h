#pragma once
// Windows metafiles (WMF, with or without the placeable header) and enhanced
// metafiles (EMF), read into a list of drawing commands that a player on a
// painter replays (imageio/qt/metafileplayer.h). The parser resolves WMF's
// implicit object slots into explicit indexes so that both formats reach the
// player alike.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imageio/bitmap.h"

namespace tessaria {

enum class TMetaOp : uint8_t {
    SetWindowOrg, SetWindowExt, SetViewportOrg, SetViewportExt, // A0 = x, A1 = y
    SetMapMode,        // A0 = mode
    SaveDC,
    RestoreDC,         // A0 = level (negative: relative)
    CreatePen,         // A0 = slot, A1 = style, A2 = width, A3 = colour, A4 = 1 for a geometric width
    CreateBrush,       // A0 = slot, A1 = style, A2 = colour, A3 = hatch
    CreateFont,        // A0 = slot, A1 = height, A2 = width, A3 = escapement (0.1 degree),
                       // A4 = weight, A5 = italic | underline << 1 | strikeout << 2; Text = face
    CreateNull,        // A0 = slot: an object we do not draw with (palette, region)
    SelectObject,      // A0 = slot, or 0x80000000 | stock object
    DeleteObject,      // A0 = slot
    SetTextColor, SetBkColor, // A0 = colour (0x00BBGGRR)
    SetBkMode, SetPolyFillMode, SetROP2, SetTextAlign, SetStretchBltMode, // A0 = value
    MoveTo, LineTo,    // A0 = x, A1 = y
    Rectangle, Ellipse,                      // A0..A3 = left, top, right, bottom
    RoundRect,                               // A0..A3 = box, A4 = corner width, A5 = height
    Arc, Pie, Chord,                         // A0..A3 = box, A4, A5 = start, A6, A7 = end
    Polygon, Polyline, PolyBezier,           // Points
    PolylineTo, PolyBezierTo,                // Points, from the current position
    PolyPolygon, PolyPolyline,               // Points, Counts
    Text,              // A0 = x, A1 = y, A2 = options, A3..A6 = rectangle (with options 2 or 4); Text
    StretchBitmap,     // A0..A3 = destination x, y, w, h; A4..A7 = source x, y, w, h (from the
                       // top of Bitmap); Rop; no Bitmap: fill with the brush (a pattern blit)
    IntersectClipRect, // A0..A3 = rectangle
    SetWorldTransform, // X = eM11, eM12, eM21, eM22, eDx, eDy
    ModifyWorldTransform, // X, A0 = mode (1 identity, 2 left, 3 right, 4 set)
    BeginPath, EndPath, CloseFigure, FillPath, StrokePath, StrokeAndFillPath, AbortPath,
};

struct TMetaPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

struct TMetaCommand {
    TMetaOp Op{};
    int32_t A[8] = {};
    uint32_t Rop = 0;
    float X[6] = {};
    std::vector<TMetaPoint> Points;
    std::vector<uint32_t> Counts;
    std::u16string Text;
    std::shared_ptr<const TBitmap> Bitmap;
};

struct TMetaRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct TMetafileData {
    bool Enhanced = false;
    // WMF: the placeable header, when there is one.
    bool Placeable = false;
    TMetaRect PlaceableBounds;
    int Inch = 0; // logical units per inch
    int Objects = 0; // the size of the object table
    // EMF: the header's bounds (device pixels), frame (0.01 mm) and the
    // reference device's size in pixels and millimetres.
    TMetaRect Bounds, Frame;
    int DevicePixelsX = 0, DevicePixelsY = 0, DeviceMmX = 0, DeviceMmY = 0;
    // The first window origin and extent that the records set (WMF without a
    // placeable header has no other size), zero extent when none.
    TMetaPoint FirstWindowOrg, FirstWindowExt;
    std::vector<TMetaCommand> Commands;
    int SkippedRecords = 0; // unknown, or malformed and dropped
    bool Truncated = false; // a record ran past the end of the file
};

// Caps on what one file may make us hold, beyond the picture limits.
constexpr size_t MaxMetafileCommands = size_t(1) << 19;

// Raises EInvalidGraphic "Metafile is not valid" for a file of neither kind,
// "WMF: ..." / "EMF: ..." for a header that does not hold, or a record whose
// size cannot be right (too small, which would never advance). A record that
// runs past the end of the file ends the list (Truncated); a record whose
// counts, offsets or object indexes do not fit is dropped (SkippedRecords).
TMetafileData ParseMetafile(const uint8_t* data, size_t size);

} // namespace tessaria

namespace tessaria {

// Where the picture lies in the space the records draw to after their
// window and viewport (WMF: the logical units of the placeable bounds or of
// the first window; EMF: the reference device's pixels), and its size in
// screen pixels at 96 per inch. Raises EInvalidGraphic "Picture too large"
// beyond the picture limits and "Metafile: no picture size" when the file
// gives none.
struct TMetafileFrame {
    double Left = 0, Top = 0, Width = 0, Height = 0;
    int PixelsX = 0, PixelsY = 0;
};
TMetafileFrame MetafileFrame(const TMetafileData& data);

} // namespace tessaria
