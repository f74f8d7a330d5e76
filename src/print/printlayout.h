#pragma once
// Where the layout's boxes land on the printed sheet, and how many pixels a
// picture is resampled to: the arithmetic of printing, apart from any window.

#include <string>

namespace tessaria {

// The layout area on the sheet, in device pixels: W x H from (ox, oy), the
// sheet less the margins and the header and footer bands.
struct TPrintGeometry {
    int Width = 0;
    int Height = 0;
    int OriginX = 0;
    int OriginY = 0;
};

struct TSheetRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TSheetRect&) const = default;
};

// A box of the page surface (page pixels) on the sheet, with the scales
// sx = W / page width and sy = H / page height.
TSheetRect TargetRect(const TPrintGeometry& g, double sx, double sy, int left, int top, int width, int height);

struct TPixelSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TPixelSize&) const = default;
};

// The pixels a box of width x height page pixels gets at `dpi` printed pixels
// per inch, the layout having `layoutPPI` page pixels per inch.
TPixelSize ResampledSize(int width, int height, int layoutPPI, int dpi);

// The size to resample to before a turn of `rotation` degrees, so that the
// turned picture has `size`: a quarter turn swaps the sides.
TPixelSize SizeBeforeTurn(const TPixelSize& size, int rotation);

// The footer of "Print Info in Footer".
std::string FooterInfoText(const std::string& printerName, int dpi, const std::string& filterName);

// A 32nd of an inch at the resolution: how far a text box's text moves down.
int TextDrop(int pixelsPerInchY);

} // namespace tessaria
