#pragma once
// The scale of the layout: a page surface has the printable area's proportions
// with its longer side 400 pixels, and LayoutPPI page pixels per printed inch.

namespace tessaria {

struct TPrintableArea {
    int DpiX = 0;
    int DpiY = 0;
    int Width = 0;  // PW: the sheet's width less the left and right margins, device pixels
    int Height = 0; // PH: the sheet's height less the margins, header and footer bands
};

struct TPageGeometry {
    int Width = 0;  // of the page surface
    int Height = 0;
    int Orientation = 0; // 0 when at least as tall as wide, 1 when wider
    int LayoutPPI = 0;
};

constexpr int PageLongerSide = 400;

// Margins that leave nothing to print on raise an error instead of dividing by zero.
TPageGeometry ComputePageGeometry(const TPrintableArea& area);

} // namespace tessaria
