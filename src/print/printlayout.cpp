#include "print/printlayout.h"

#include "base/rounding.h"

namespace tessaria {

TSheetRect TargetRect(const TPrintGeometry& g, double sx, double sy, int left, int top, int width, int height)
{
    TSheetRect r;
    r.Left = int(Round(left * sx)) + g.OriginX;
    r.Top = int(Round(top * sy)) + g.OriginY;
    r.Right = r.Left + int(Round(width * sx));
    r.Bottom = r.Top + int(Round(height * sy));
    return r;
}

TPixelSize ResampledSize(int width, int height, int layoutPPI, int dpi)
{
    if (layoutPPI <= 0)
        return {};
    return {int(Round(double(width) / layoutPPI * dpi)), int(Round(double(height) / layoutPPI * dpi))};
}

TPixelSize SizeBeforeTurn(const TPixelSize& size, int rotation)
{
    if (rotation == 90 || rotation == 270)
        return {size.Height, size.Width};
    return size;
}

std::string FooterInfoText(const std::string& printerName, int dpi, const std::string& filterName)
{
    return printerName + " at " + std::to_string(dpi) + " DPI     Interpolation = " + filterName;
}

int TextDrop(int pixelsPerInchY) { return int(Round(pixelsPerInchY * 0.03125)); }

} // namespace tessaria
