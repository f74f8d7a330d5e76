#pragma once
// The grid that "Arrange" lays pictures out in, without widgets: columns by
// rows of cells per page with a gap between them, each picture fitted into
// its cell with its proportion kept and centred, a caption band under it when
// captions are wanted, and as many pages as the pictures need.

#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "layout/layoutrules.h"

namespace tessaria {

struct TGridSize {
    int Columns = 1;
    int Rows = 1;
    int PerPage() const { return Columns * Rows; }
    bool operator==(const TGridSize&) const = default;
};

constexpr int MaxGridSide = 10;
// The gap between cells unless one is chosen.
inline constexpr double DefaultArrangeGapMillimetres = 4;

// The numbers of pictures per page offered as presets, and the grid each one
// gives on an upright page (a landscape page swaps columns and rows).
struct TGridPreset {
    int PerPage;
    TGridSize Upright;
};
inline constexpr std::array<TGridPreset, 8> GridPresets = {{
    {1, {1, 1}},
    {2, {1, 2}},
    {4, {2, 2}},
    {6, {2, 3}},
    {9, {3, 3}},
    {12, {3, 4}},
    {16, {4, 4}},
    {20, {4, 5}},
}};
// The preset's grid for a page of that shape; none for a number that is no preset.
std::optional<TGridSize> PresetGrid(int perPage, bool landscapePage);

// "CxR" as a user types it ("4x5", "4X5"), each side 1 to 10.
std::optional<TGridSize> ParseGridSize(const QString& text);

// Pages that `count` pictures fill, the last one perhaps partly.
int PagesNeeded(int count, const TGridSize& grid);

// Where the picture with that number (from 0) goes: its page (counted from the
// arrangement's first) and its cell on it, row by row.
struct TGridSlot {
    int Page = 0;
    int Cell = 0;
    bool operator==(const TGridSlot&) const = default;
};
TGridSlot SlotOf(int index, const TGridSize& grid);

// A gap in millimetres or inches as page pixels at the layout's scale.
double MillimetresToPagePixels(double millimetres, int layoutPPI);
double InchesToPagePixels(double inches, int layoutPPI);

struct TGridLayout {
    QSize Page;            // the page surface, pixels
    TGridSize Grid;
    double Gap = 0;        // between neighbouring cells, page pixels
    int CaptionHeight = 0; // the band under each picture for its caption; 0 for none
};

// What the user chose for an arrangement.
struct TArrangeSettings {
    TGridSize Grid{2, 2};
    double GapMillimetres = DefaultArrangeGapMillimetres;
    bool GapInInches = false; // how the gap is shown; it is kept in millimetres
    TAutoCaption Captions = TAutoCaption::None;
};

// Whether every cell keeps at least one pixel for its picture.
bool GridHasRoom(const TGridLayout& layout);

// The cell with that number on its page. Cells share the page less the gaps
// equally; their edges are rounded, so neighbours differ by a pixel at most
// and the last column and row end at the page's edges.
QRect GridCell(const TGridLayout& layout, int cell);

// A picture in its cell: fitted into the cell less the caption band with its
// proportion (height / width; none or 0 fills the cell), centred, and the
// caption, as wide as the picture, right under it; the two together centred
// in the cell.
struct TCellPlacement {
    QRect Picture;
    QRect Caption; // empty without a caption band
};
TCellPlacement PlaceInCell(const QRect& cell, double aspect, int captionHeight);

// The caption band high enough for the highest caption. The height a caption
// needs depends on its width, which is its picture's, which shrinks as the
// band grows: the band grows until every caption fits or it would take more
// than half the cell. `needed(i, width)` gives the height caption i needs at
// that width; `aspects` are the pictures' proportions.
int CaptionBandHeight(const TGridLayout& layout, const std::vector<double>& aspects,
                      const std::function<int(size_t, int)>& needed);

// Boxes placed one after another from `start`: left to right with `gap`
// between them, a new row under the row's highest box when the next would
// pass the page's right edge, and a new page from its top left corner when a
// row would pass the page's bottom. The first box goes at `start` whatever
// its size. Gives each box's page (from 0) and place.
struct TFlowPlace {
    int Page = 0;
    QPoint At;
    bool operator==(const TFlowPlace&) const = default;
};
std::vector<TFlowPlace> FlowPlaces(const QPoint& start, const std::vector<QSize>& sizes, const QSize& page, int gap);

} // namespace tessaria
