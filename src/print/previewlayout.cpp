#include "print/previewlayout.h"

#include <algorithm>
#include <cmath>

#include "base/rounding.h"

namespace tessaria {

namespace {

constexpr const char* EntryTexts[ZoomEntryCount] = {"Fit To Page", "Fit To Width", "Custom", "25%",  "50%", "75%",
                                                    "100%",        "125%",         "150%",   "200%", "300%", "400%"};
constexpr double EntryFactors[ZoomEntryCount] = {0, 0, 0, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};

} // namespace

const char* ZoomEntryText(int index) { return index >= 0 && index < ZoomEntryCount ? EntryTexts[index] : ""; }

double ZoomFactor(int index, const TZoomInputs& in)
{
    const double ppi = in.ScreenPixelsPerInch > 0 ? in.ScreenPixelsPerInch : 96;
    switch (index < 0 || index >= ZoomEntryCount ? int(zeFitToPage) : index) {
    case zeFitToPage:
        return in.SheetHeightInches > 0 ? (in.VisibleHeight - 20) / ppi / in.SheetHeightInches : 1.0;
    case zeFitToWidth:
        return in.SheetWidthInches > 0 ? (in.VisibleWidth - 20) / ppi / in.SheetWidthInches : 1.0;
    case zeCustom: return in.CurrentFactor;
    default: return EntryFactors[index];
    }
}

TPagePlacement PlacePage(double factor, const TZoomInputs& in)
{
    TPagePlacement p;
    // A window too small for the margin of 20 would make a negative page.
    p.PageHeight = std::max(1, int(std::trunc(in.ScreenPixelsPerInch * factor * in.SheetHeightInches)));
    p.PageWidth = std::max(1, int(std::trunc(in.ScreenPixelsPerInch * factor * in.SheetWidthInches)));
    const int neededWidth = p.PageWidth + 20;
    p.ContainerHeight = std::max(p.PageHeight + 20, in.VisibleHeight - 1);
    p.ContainerWidth = std::max(neededWidth, in.VisibleWidth - 1);
    p.PageTop = p.ContainerHeight > p.PageHeight + 20 ? p.ContainerHeight / 2 - p.PageHeight / 2 : 10;
    p.PageLeft = neededWidth < p.ContainerWidth ? p.ContainerWidth / 2 - p.PageWidth / 2 : 10;
    return p;
}

std::string ZoomText(double factor)
{
    const long long percent = Round(factor * 100);
    std::string digits = std::to_string(percent < 0 ? -percent : percent);
    for (int i = int(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(size_t(i), ",");
    return (percent < 0 ? "-" : "") + digits + "%";
}

} // namespace tessaria
