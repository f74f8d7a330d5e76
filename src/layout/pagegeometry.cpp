#include "layout/pagegeometry.h"

#include "base/exceptions.h"
#include "base/rounding.h"

namespace tessaria {

TPageGeometry ComputePageGeometry(const TPrintableArea& area)
{
    // Margins larger than the sheet leave no page to lay out on.
    if (area.Width <= 0 || area.Height <= 0 || area.DpiY <= 0)
        throw Exception("The margins leave no printable area on the page.");
    TPageGeometry g;
    const double r = double(area.Height) / area.Width;
    if (r >= 1) {
        g.Orientation = 0;
        g.Height = PageLongerSide;
        g.Width = int(Round(PageLongerSide / r));
    } else {
        g.Orientation = 1;
        g.Width = PageLongerSide;
        g.Height = int(Round(PageLongerSide * r));
    }
    g.LayoutPPI = int(Round(g.Height / (double(area.Height) / area.DpiY)));
    return g;
}

} // namespace tessaria
